/* Compiled as C: tessra/host.h and tessra/model.h are plain C headers. */
#include "HostCalls.h"

#include <tessra/host.h>
#include <tessra/model.h>

HostAnswers callEveryHostFunction(void)
{
    HostAnswers answers;
    answers.hasHost = tessra_has_host();
    tessra_debug_log("from C");
    tessra_debug_logf("%s %d", "formatted", 42);
    answers.dialogVisible = tessra_is_dnew_visible();
    answers.dialogValue = tessra_dnew_param_value(1);
    tessra_sim_new();
    tessra_sim_run();
    tessra_sim_step();
    answers.pause = tessra_sim_pause();
    answers.wait = tessra_sim_wait();
    answers.runWait = tessra_sim_run_wait();
    return answers;
}
