/* The API header compiles as C, and a site operation written in C works. */
#include "TessraAPI.h"

static unsigned char countSites(
    float* values, int column, int row, int width, int height, int phase, double* result)
{
    (void)values, (void)column, (void)row, (void)width, (void)height;
    if (phase == 1)
        *result = 0;
    else if (phase == 0)
        *result += 1;
    return 1;
}

double tessraCountSitesFromC(void)
{
    double sites = -1;
    forEachAgentVar(countSites, &sites, 1);
    return sites;
}
