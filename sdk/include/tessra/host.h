/*
 * Calls from a model into the program that hosts it.
 *
 * The tessra executable exports a few C functions (_debugLog, _simRun, ...).
 * These helpers look each one up in the running process when called and do
 * nothing (answering 0) when the process exports none: a model built with
 * them also runs under a test program or a script that loads the API library
 * without the front end.
 *
 * All of them belong on the thread that calls into the model. The waiting
 * ones (tessra_sim_pause, tessra_sim_wait, tessra_sim_run_wait) run the host's
 * event loop until the run has stopped, so the model may be called again
 * before they return. Called from inside step(), they cannot wait (the run
 * stops only at the end of the step under way): Tessra then gives the Pause
 * command, so the run ends with that step, and returns at once. From inside
 * any call Tessra makes to step or build the world (step(), simReady(), ...)
 * tessra_sim_step and tessra_sim_new do nothing: the model is never re-entered.
 * tessra_sim_new called from elsewhere (a mouse click) replaces the world, and
 * with it the model object of tessra/model.hpp, before it returns. While
 * another call of the model waits in one of the waiting functions, nothing
 * replaces or frees its world: tessra_sim_new is then refused (a warning
 * says why), as are the user's and a script's new simulations and loads.
 *
 * Plain C, usable from C and C++.
 */
#ifndef TESSRA_HOST_H
#define TESSRA_HOST_H

#include <dlfcn.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/** Address of a function the host exports, or null. glibc declares
 *  RTLD_DEFAULT only with _GNU_SOURCE; without it the handle of the program
 *  itself finds the same exported functions. */
static inline void* tessra_host_symbol(const char* name)
{
#if defined(RTLD_DEFAULT)
    return dlsym(RTLD_DEFAULT, name);
#else
    void* self = dlopen(NULL, RTLD_LAZY);
    void* symbol = self ? dlsym(self, name) : NULL;
    if (self)
        dlclose(self);
    return symbol;
#endif
}

/** Non-zero when the model runs inside the Tessra front end. */
static inline int tessra_has_host(void)
{
    return tessra_host_symbol("_simRun") != NULL;
}

typedef void (*TessraHostText)(const char*);
typedef unsigned char (*TessraHostFlag)(void);
typedef double (*TessraHostValue)(int);
typedef void (*TessraHostAction)(void);
typedef int (*TessraHostWait)(void);

/* Function pointers are copied out of the void* dlsym answers with memcpy:
   a cast between object and function pointers is not portable C. */
#define TESSRA_HOST_FUNCTION(type, var, name)                                                      \
    type var = NULL;                                                                               \
    do {                                                                                           \
        void* tessra_symbol_ = tessra_host_symbol(name);                                           \
        memcpy(&var, &tessra_symbol_, sizeof var);                                                 \
    } while (0)

/** Writes text as one entry of the host's debug log. */
static inline void tessra_debug_log(const char* text)
{
    TESSRA_HOST_FUNCTION(TessraHostText, fn, "_debugLog");
    if (fn && text)
        fn(text);
}

/** printf-style tessra_debug_log; the text is cut at 4095 bytes. Numbers are
 *  formatted in the process's current C locale. */
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
static inline void
tessra_debug_logf(const char* format, ...)
{
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    tessra_debug_log(text);
}

/** Tells the model API library that the size, init or step function under
 *  way has failed, for reason (one line): a new world is then not built, a
 *  step keeps the time and ends the run, and Tessra shows the reason. Called
 *  anywhere else it does nothing. The API library exports it, so it is found
 *  wherever the model is loaded by that library. */
static inline void tessra_report_error(const char* reason)
{
    TESSRA_HOST_FUNCTION(TessraHostText, fn, "_reportModelError");
    if (fn)
        fn(reason ? reason : "");
}

/** Non-zero while the New Simulation dialog is shown. */
static inline int tessra_is_dnew_visible(void)
{
    TESSRA_HOST_FUNCTION(TessraHostFlag, fn, "_isDNewVisible");
    return fn ? (fn() & 0xff) != 0 : 0;
}

/** The value the New Simulation dialog currently holds for parameter index
 *  (ask tessra_is_dnew_visible first); 0 without a host. */
static inline double tessra_dnew_param_value(int index)
{
    TESSRA_HOST_FUNCTION(TessraHostValue, fn, "_getDNewParamValue");
    return fn ? fn(index) : 0.0;
}

/** Pauses a running simulation, then builds a new world from the current
 *  parameter values (no dialog, no file). */
static inline void tessra_sim_new(void)
{
    TESSRA_HOST_FUNCTION(TessraHostAction, fn, "_simNew");
    if (fn)
        fn();
}

/** Asks the run to pause and waits until it has stopped. */
static inline int tessra_sim_pause(void)
{
    TESSRA_HOST_FUNCTION(TessraHostWait, fn, "_simPause");
    return fn ? fn() : 0;
}

/** Starts a run and returns at once. */
static inline void tessra_sim_run(void)
{
    TESSRA_HOST_FUNCTION(TessraHostAction, fn, "_simRun");
    if (fn)
        fn();
}

/** Starts a run and returns once it has stopped for any reason. */
static inline int tessra_sim_run_wait(void)
{
    TESSRA_HOST_FUNCTION(TessraHostWait, fn, "_simRunWait");
    return fn ? fn() : 0;
}

/** Advances exactly one step (and refreshes the display) before returning. */
static inline void tessra_sim_step(void)
{
    TESSRA_HOST_FUNCTION(TessraHostAction, fn, "_simStep");
    if (fn)
        fn();
}

/** Returns once the simulation is not running. */
static inline int tessra_sim_wait(void)
{
    TESSRA_HOST_FUNCTION(TessraHostWait, fn, "_simWait");
    return fn ? fn() : 0;
}

#ifdef __cplusplus
}
#endif

#endif /* TESSRA_HOST_H */
