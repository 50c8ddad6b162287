/* A model for the API library's tests. Every site carries three states,
 * set by init so that a test can tell sites apart:
 *   a = column + 100 * row,  b = row,  c = -column.
 * Colour: red = column, green = row, blue = a. A step adds the parameter
 * "Step" to the time. init, step, simReady, mouseUp and cleanup append a line
 * to the file named by the environment variable TESSRA_PROBE_LOG, if set;
 * init's line ends with the number of worlds built since the library was loaded. */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <tessra/model.h>

enum { Alpha, Count, Columns, Rows, Step, Scale, ParamCount };
enum { A, B, C, StateCount };

__attribute__((format(printf, 1, 2))) static void logLine(const char* format, ...)
{
    const char* path = getenv("TESSRA_PROBE_LOG");
    if (!path)
        return;
    FILE* file = fopen(path, "a");
    if (!file)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputc('\n', file);
    fclose(file);
}

static float* site(const TessraSim* sim, int column, int row)
{
    return sim->sites + ((size_t)row * sim->width + column) * sim->stateCount;
}

static void worldSize(const double* params, int* width, int* height)
{
    *width = (int)params[Columns];
    *height = (int)params[Rows];
}

/* Counts the worlds built since the library was loaded: a library loaded
 * again must start from 1. */
static int worldsBuilt;

static void init(TessraSim* sim)
{
    logLine("init %dx%d time=%g #%d", sim->width, sim->height, sim->time, ++worldsBuilt);
    for (int row = 0; row < sim->height; ++row)
        for (int column = 0; column < sim->width; ++column) {
            float* s = site(sim, column, row);
            s[A] = (float)(column + 100 * row);
            s[B] = (float)row;
            s[C] = (float)-column;
        }
    sim->modelData = malloc(16);
}

static double step(TessraSim* sim)
{
    logLine("step from %g", sim->time);
    return sim->time + sim->params[Step];
}

static void color(const TessraSim* sim, int column, int row, unsigned short* red,
    unsigned short* green, unsigned short* blue)
{
    *red = (unsigned short)column;
    *green = (unsigned short)row;
    *blue = (unsigned short)site(sim, column, row)[A];
}

static char text[128];

static const char* hint(const TessraSim* sim, int column, int row)
{
    (void)sim;
    snprintf(text, sizeof text, "hint %d,%d", column, row);
    return text;
}

static void mouseUp(TessraSim* sim, int button, int column, int row, int keys)
{
    logLine("mouseUp %d %d %d %d", button, column, row, keys);
    site(sim, column, row)[B] = (float)(button * 1000 + keys);
}

static const char* aboutParam(int index, const double* candidates)
{
    if (index != Alpha)
        return NULL; /* the API library falls back to the description */
    snprintf(text, sizeof text, "Alpha would be %g", candidates[Alpha]);
    return text;
}

static int validateParam(int index, double value)
{
    return !(index == Count && value == 13);
}

static const char* aboutState(const TessraSim* sim, int column, int row, int index)
{
    snprintf(text, sizeof text, "state %d at %d,%d is %g", index, column, row,
        site(sim, column, row)[index]);
    return text;
}

static void simReady(TessraSim* sim)
{
    logLine("simReady %dx%d", sim->width, sim->height);
}

static void cleanup(TessraSim* sim)
{
    logLine("cleanup %dx%d data=%s", sim->width, sim->height, sim->modelData ? "yes" : "no");
    free(sim->modelData);
    sim->modelData = NULL;
}

static const TessraParamInfo params[ParamCount] = {
    { "Alpha", "<b>Alpha</b> rate", 0.25, 0, 1, 0, "Alpha description." },
    { "Count", "Count", 3, 1, 100, 1, NULL },
    { "Columns", "Columns", 4, 0, 100000, 1, "Columns of the world." },
    { "Rows", "Rows", 3, 0, 100000, 1, "Rows of the world." },
    { "Step", "Step", 0.5, 0.001, 10, 0, "Time added per step." },
    { "Scale", NULL, 1, -1e9, 1e9, 0, "Any number of a wide range." },
};

static const char* const stateNames[StateCount] = { "a", "b", "c" };

static const TessraModel model = {
    .interfaceVersion = TESSRA_MODEL_INTERFACE_VERSION,
    .name = "API probe",
    .version = "2.5",
    .copyright = "(c) probe",
    .comments = NULL,
    .url = "https://example.org/probe",
    .paramCount = ParamCount,
    .params = params,
    .stateCount = StateCount,
    .stateNames = stateNames,
    .worldSize = worldSize,
    .init = init,
    .step = step,
    .color = color,
    .hint = hint,
    .mouseUp = mouseUp,
    .aboutParam = aboutParam,
    .validateParam = validateParam,
    .aboutState = aboutState,
    .simReady = simReady,
    .cleanup = cleanup,
};

TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)
{
    return &model;
}
