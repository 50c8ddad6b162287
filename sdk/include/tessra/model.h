/*
 * Tessra model interface.
 *
 * A model library (model.so) exports exactly one C function, tessra_model(),
 * which returns a constant description of the model: its about texts, its
 * parameters, the names of the states every site carries, and the functions
 * that size, build, advance and colour the world.
 *
 * The model API library (libTessraAPI) loads the model, owns the parameter
 * values, the simulation time and the world, and calls the functions below.
 * All calls are made on one thread, never concurrently. In the front end that
 * thread is the window's, inside the Tessra process: a model function must
 * not block for long, crash or call exit(), since the whole program (window,
 * unsaved work) goes with it. tessra-run sweeps run each run in a process of
 * its own, so there a crash or a hang ends that run alone.
 *
 * This header is plain C so that a model can be written in C or C++.
 */
#ifndef TESSRA_MODEL_H
#define TESSRA_MODEL_H

#ifdef __cplusplus
extern "C" {
#endif

/** The interface version this header describes. Version 2 added colorRows at
 *  the end of TessraModel; a model built for version 1 (whose description ends
 *  at cleanup) still loads and is coloured site by site. A model built for any
 *  other version is refused by the API library with a clear load error. */
#define TESSRA_MODEL_INTERFACE_VERSION 2

/** The oldest interface version the API library still loads. */
#define TESSRA_MODEL_OLDEST_INTERFACE_VERSION 1

/** Name of the single entry point a model library exports. */
#define TESSRA_MODEL_ENTRY "tessra_model"

#if defined(_WIN32)
#define TESSRA_MODEL_EXPORT __declspec(dllexport)
#else
#define TESSRA_MODEL_EXPORT __attribute__((visibility("default")))
#endif

/** Mouse button codes passed to mouseUp. */
#define TESSRA_BUTTON_LEFT 8
#define TESSRA_BUTTON_RIGHT 16

/** Key and button flags passed to mouseUp, added together. */
#define TESSRA_KEY_SHIFT 1
#define TESSRA_KEY_ALT 2
#define TESSRA_KEY_CTRL 4
#define TESSRA_KEY_LEFT_DOWN 8
#define TESSRA_KEY_RIGHT_DOWN 16

/** One model parameter. */
typedef struct TessraParamInfo {
    const char* name; /**< used in settings files, stop conditions and scripts; unique */
    const char* label; /**< shown in the New Simulation dialog; may carry HTML markup */
    double initial; /**< value after the model is loaded */
    double minimum; /**< smallest value accepted */
    double maximum; /**< largest value accepted */
    int wholeNumber; /**< non-zero: only whole numbers are accepted */
    const char* description; /**< default text shown while the parameter is edited; may be null */
} TessraParamInfo;

/**
 * The simulation as the model sees it. The API library owns this structure
 * and everything it points to except modelData.
 *
 * sites holds width * height * stateCount floats: the states of site
 * (column, row) are sites[(row * width + column) * stateCount + k].
 * params holds the current parameter values in description order; the model
 * reads them at any time (a script may change one in the middle of a run).
 */
typedef struct TessraSim {
    int width;
    int height;
    int stateCount;
    float* sites;
    const double* params;
    double time; /**< the simulation time before the current step */
    void* modelData; /**< the model's own data, set by init and freed by cleanup */
} TessraSim;

/** The constant description a model returns from tessra_model(). */
typedef struct TessraModel {
    int interfaceVersion; /**< must be TESSRA_MODEL_INTERFACE_VERSION */

    /* About texts; any may be null or empty. */
    const char* name;
    const char* version;
    const char* copyright;
    const char* comments;
    const char* url;

    int paramCount;
    const TessraParamInfo* params;

    int stateCount;
    const char* const* stateNames;

    /** Required: the world size for the given parameter values. Both results
     *  must be at least 0; a world with no sites is allowed. */
    void (*worldSize)(const double* params, int* width, int* height);

    /** Required: fill a new world. sites is zeroed and time is 0 on entry.
     *  May set sim->modelData. */
    void (*init)(TessraSim* sim);

    /** Required: advance one step; returns the new simulation time. */
    double (*step)(TessraSim* sim);

    /** Required: colour of one site. red, green and blue hold the site's present
     *  colour (0..255) on entry; the model overwrites them or leaves them. */
    void (*color)(const TessraSim* sim, int column, int row, unsigned short* red,
        unsigned short* green, unsigned short* blue);

    /* Optional functions; null when the model has none. Returned texts stay
       valid until the next call into the model. */

    /** Hint text for the site under the pointer. */
    const char* (*hint)(const TessraSim* sim, int column, int row);

    /** A mouse button was released over a site (codes above). */
    void (*mouseUp)(TessraSim* sim, int button, int column, int row, int keys);

    /** Description of parameter index while the user edits it; candidates are
     *  the values the dialog would pass (one per parameter). */
    const char* (*aboutParam)(int index, const double* candidates);

    /** The model's own check of a value already inside the parameter's range:
     *  non-zero accepts it. */
    int (*validateParam)(int index, double value);

    /** Description of state index at a site. */
    const char* (*aboutState)(const TessraSim* sim, int column, int row, int index);

    /** Called once after a new world has been built and shown. */
    void (*simReady)(TessraSim* sim);

    /** Release modelData; called before the world is freed. */
    void (*cleanup)(TessraSim* sim);

    /* Interface version 2. */

    /** Optional: colours of whole rows at once, the fast road for redrawing
     *  the world. rgb is the top-left pixel of a top-down image of 8-bit red,
     *  green, blue triples, width pixels to a row, rows bytesPerLine bytes
     *  apart: the pixel of site (column, row) is at
     *  rgb + row * bytesPerLine + 3 * column. The function fills rows firstRow
     *  to firstRow + rowCount - 1 (always inside the world, rowCount at least
     *  1) and must give every site the colour color gives it; the pixels hold
     *  the present colours on entry, so a site left alone keeps its colour. */
    void (*colorRows)(
        const TessraSim* sim, int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine);
} TessraModel;

/** The one function a model library exports. */
typedef const TessraModel* (*TessraModelEntry)(void);

#ifdef __cplusplus
}
#endif

#endif /* TESSRA_MODEL_H */
