/* A model with a faulty description. TESSRA_BADDESC names the fault; with
 * "none" (or unset) the description is valid, so the tests know that only
 * the named fault makes the load fail. "manyparams" and "manystates" are
 * valid descriptions with 100,000 parameters or states; "manyparamsdup" and
 * "manystatesdup" repeat the first name (in other letter case) at the end. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <tessra/model.h>

static void worldSize(const double* params, int* width, int* height)
{
    (void)params;
    *width = 2;
    *height = 2;
}

static void init(TessraSim* sim)
{
    (void)sim;
}

static double step(TessraSim* sim)
{
    return sim->time + 1;
}

static void color(const TessraSim* sim, int column, int row, unsigned short* red,
    unsigned short* green, unsigned short* blue)
{
    (void)sim, (void)column, (void)row;
    *red = *green = *blue = 0;
}

static TessraParamInfo params[2];
static const char* stateNames[2];
static TessraModel model;

/* Static storage: it goes with the library when the program unloads it. */
enum { Many = 100000 };
static TessraParamInfo manyParams[Many];
static const char* manyStates[Many];
static char manyNames[Many][16];

/* Names "n0" .. "n99999"; with `repeat` the last one is "N0". */
static void nameMany(int repeat)
{
    for (int i = 0; i < Many; ++i)
        snprintf(manyNames[i], sizeof manyNames[i], "n%d", i);
    if (repeat)
        strcpy(manyNames[Many - 1], "N0");
}

static void describeManyParams(int repeat)
{
    const TessraParamInfo one = { NULL, NULL, 0.5, 0, 1, 0, NULL };
    nameMany(repeat);
    for (int i = 0; i < Many; ++i) {
        manyParams[i] = one;
        manyParams[i].name = manyNames[i];
    }
    model.paramCount = Many;
    model.params = manyParams;
}

static void describeManyStates(int repeat)
{
    nameMany(repeat);
    for (int i = 0; i < Many; ++i)
        manyStates[i] = manyNames[i];
    model.stateCount = Many;
    model.stateNames = manyStates;
}

static void describeValid(void)
{
    const TessraParamInfo rate = { "Rate", "Rate", 0.5, 0, 1, 0, "A rate." };
    const TessraParamInfo size = { "Size", "Size", 4, 1, 10, 1, NULL };
    params[0] = rate;
    params[1] = size;
    stateNames[0] = "u";
    stateNames[1] = "v";
    memset(&model, 0, sizeof model);
    model.interfaceVersion = TESSRA_MODEL_INTERFACE_VERSION;
    model.name = "Bad description";
    model.paramCount = 2;
    model.params = params;
    model.stateCount = 2;
    model.stateNames = stateNames;
    model.worldSize = worldSize;
    model.init = init;
    model.step = step;
    model.color = color;
}

TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)
{
    const char* fault = getenv("TESSRA_BADDESC");
    describeValid();
    if (!fault || strcmp(fault, "none") == 0)
        return &model;
    if (strcmp(fault, "nodescription") == 0)
        return NULL;
    if (strcmp(fault, "nostep") == 0)
        model.step = NULL;
    else if (strcmp(fault, "nocolor") == 0)
        model.color = NULL;
    else if (strcmp(fault, "noworldsize") == 0)
        model.worldSize = NULL;
    else if (strcmp(fault, "noinit") == 0)
        model.init = NULL;
    else if (strcmp(fault, "negativeparams") == 0)
        model.paramCount = -1;
    else if (strcmp(fault, "noparamlist") == 0)
        model.params = NULL;
    else if (strcmp(fault, "unnamedparam") == 0)
        params[1].name = NULL;
    else if (strcmp(fault, "emptyparamname") == 0)
        params[1].name = "";
    else if (strcmp(fault, "sameparamname") == 0)
        params[1].name = "RATE";
    else if (strcmp(fault, "minabovemax") == 0)
        params[0].minimum = 2;
    else if (strcmp(fault, "initialoutside") == 0)
        params[1].initial = 11;
    else if (strcmp(fault, "initialnotwhole") == 0)
        params[1].initial = 2.5;
    else if (strcmp(fault, "negativestates") == 0)
        model.stateCount = -2;
    else if (strcmp(fault, "nostatelist") == 0)
        model.stateNames = NULL;
    else if (strcmp(fault, "unnamedstate") == 0)
        stateNames[1] = NULL;
    else if (strcmp(fault, "samestatename") == 0)
        stateNames[1] = "U";
    /* Names a settings file cannot carry: they would read back as other keys. */
    else if (strcmp(fault, "paramequals") == 0)
        params[1].name = "a=b";
    else if (strcmp(fault, "paramblanks") == 0)
        params[1].name = " g ";
    else if (strcmp(fault, "paramsemicolon") == 0)
        params[1].name = ";Size";
    else if (strcmp(fault, "paramhash") == 0)
        params[1].name = "#Size";
    else if (strcmp(fault, "parambracket") == 0)
        params[1].name = "[Size]";
    else if (strcmp(fault, "paramlinebreak") == 0)
        params[1].name = "Si\nze";
    else if (strcmp(fault, "statelinebreak") == 0)
        stateNames[1] = "v\r\nw";
    else if (strcmp(fault, "stateblank") == 0)
        stateNames[1] = "v ";
    else if (strcmp(fault, "manyparams") == 0)
        describeManyParams(0);
    else if (strcmp(fault, "manyparamsdup") == 0)
        describeManyParams(1);
    else if (strcmp(fault, "manystates") == 0)
        describeManyStates(0);
    else if (strcmp(fault, "manystatesdup") == 0)
        describeManyStates(1);
    return &model;
}
