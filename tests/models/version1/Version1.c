/* A model that says it was built for interface version 1, whose description
 * ends at cleanup. Its colorRows field holds a function that paints every
 * pixel white: a host that read the field of a version 1 description would
 * show that instead of the site colours (red 40 * column, green 40 * row,
 * blue 200). A 5 x 3 world; no parameters, no states. */
#include <tessra/model.h>

static void worldSize(const double* params, int* width, int* height)
{
    (void)params;
    *width = 5;
    *height = 3;
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
    (void)sim;
    *red = (unsigned short)(40 * column);
    *green = (unsigned short)(40 * row);
    *blue = 200;
}

static void notPartOfVersion1(
    const TessraSim* sim, int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine)
{
    int row, i;
    for (row = firstRow; row < firstRow + rowCount; ++row)
        for (i = 0; i < 3 * sim->width; ++i)
            rgb[row * bytesPerLine + i] = 255;
}

static const TessraModel model = {
    .interfaceVersion = 1,
    .name = "Version 1",
    .worldSize = worldSize,
    .init = init,
    .step = step,
    .color = color,
    .colorRows = notPartOfVersion1,
};

TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)
{
    return &model;
}
