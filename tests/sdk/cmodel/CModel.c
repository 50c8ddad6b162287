/* A model written in plain C against tessra/model.h and tessra/host.h: proves
 * both headers are C, and that a C model loads and runs. A Width x 2 world;
 * every step adds Increment to the state "level" of every site. */
#include <stdio.h>
#include <stdlib.h>

#include <tessra/host.h>
#include <tessra/model.h>

enum { Width, Increment };

static const TessraParamInfo params[] = {
    { "Width", "Width", 5, 1, 100, 1, "Columns of the world." },
    { "Increment", "Increment", 0.5, 0, 10, 0, NULL },
};

static const char* const stateNames[] = { "level" };

static char text[128];

static void worldSize(const double* values, int* width, int* height)
{
    *width = (int)values[Width];
    *height = 2;
}

static void init(TessraSim* sim)
{
    int* steps = (int*)calloc(1, sizeof(int));
    sim->modelData = steps;
    tessra_debug_log("C model: new world");
}

static double step(TessraSim* sim)
{
    int i;
    for (i = 0; i < sim->width * sim->height; ++i)
        sim->sites[i] += (float)sim->params[Increment];
    if (sim->modelData)
        ++*(int*)sim->modelData;
    return sim->time + 1;
}

static void color(const TessraSim* sim, int column, int row, unsigned short* red,
    unsigned short* green, unsigned short* blue)
{
    (void)sim;
    *red = (unsigned short)(column * 10);
    *green = (unsigned short)(row * 100);
    *blue = 7;
}

static const char* hint(const TessraSim* sim, int column, int row)
{
    snprintf(text, sizeof text, "C site %d %d after %d steps", column, row,
        sim->modelData ? *(const int*)sim->modelData : -1);
    return text;
}

static int validateParam(int index, double value)
{
    /* Only odd widths are accepted; the host is asked nothing without a dialog. */
    if (tessra_is_dnew_visible())
        tessra_debug_logf("C model: validating %d", index);
    return index != Width || ((int)value) % 2 == 1;
}

static void cleanup(TessraSim* sim)
{
    free(sim->modelData);
    sim->modelData = NULL;
}

static const TessraModel model = {
    TESSRA_MODEL_INTERFACE_VERSION,
    "C model",
    "1.0",
    "",
    "Written in C",
    "",
    2,
    params,
    1,
    stateNames,
    worldSize,
    init,
    step,
    color,
    hint,
    NULL,
    NULL,
    validateParam,
    NULL,
    NULL,
    cleanup,
    /* No colorRows: the host colours site by site. */
    NULL,
};

TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)
{
    return &model;
}
