/* A complete model that claims interface version 999. */
#include <tessra/model.h>

static void worldSize(const double* params, int* width, int* height)
{
    (void)params;
    *width = 1;
    *height = 1;
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

static const TessraModel model = {
    .interfaceVersion = 999,
    .name = "Bad version",
    .worldSize = worldSize,
    .init = init,
    .step = step,
    .color = color,
};

TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)
{
    return &model;
}
