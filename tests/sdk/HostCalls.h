#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/** What the host helpers of tessra/host.h answered, called from C. */
typedef struct HostAnswers {
    int hasHost;
    int dialogVisible;
    double dialogValue;
    int pause;
    int wait;
    int runWait;
} HostAnswers;

/** Calls every helper of tessra/host.h once (the dialog value for index 1). */
HostAnswers callEveryHostFunction(void);

#ifdef __cplusplus
}
#endif
