/*
 * The model API library (libTessraAPI): everything the front end does to a
 * model goes through these functions. The library loads one model library
 * (model.so), owns its parameter values, the simulation time and the world,
 * and forwards to the model's own functions.
 *
 * Every function may be called with no model loaded, with no world built,
 * and with coordinates or indexes out of range: it then answers 0, an empty
 * text or null and touches no memory outside the world.
 *
 * Texts returned are owned by the library and stay valid until the next call
 * into it; callers copy them at once.
 *
 * Address lifetimes:
 *  - getParamRef: until the next _loadModel.
 *  - _getPSimTime: until the next _loadModel (the time itself is reset to 0 by
 *    _newAgents).
 *  - _getStateByName: until the next _newAgents, _loadModel or _deleteAgents.
 *  - _getSiteValues: until the next _callTimestep, _newAgents, _loadModel or
 *    _deleteAgents.
 *
 * All functions are called on one thread.
 */
#ifndef TESSRA_API_H
#define TESSRA_API_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TESSRA_API __attribute__((visibility("default")))

/** The callback forEachAgentVar drives. values: the states of one site;
 *  the four integers: column, row, world width, world height; phase: 1 before
 *  the first site, 0 for each site, -1 after the last; result: the address
 *  given to forEachAgentVar, passed unchanged. Returns non-zero to go on. */
typedef unsigned char (*TessraSiteOperation)(
    float* values, int column, int row, int width, int height, int phase, double* result);

/* Model loading and description */
TESSRA_API void _loadModel(const char* path);
/** Null while a model is loaded; otherwise one line naming the file and
 *  the reason the last load failed ("No model loaded" before any load). */
TESSRA_API const char* _getLoadModelErr(void);
TESSRA_API const char* _callAboutModel(int field);
TESSRA_API const char* _getApiVersion(void);

/* World */
TESSRA_API int _getWorldWidth(void);
TESSRA_API int _getWorldHeight(void);
/** Builds a new world from the parameters: frees the old one (the model
 *  cleans up first), sets the time to 0 and lets the model fill the zeroed
 *  sites. A size the library cannot hold (more than INT_MAX sites or floats,
 *  or memory refused), a negative size, or a size or init function that
 *  reports a failure leaves no world; _getSimError says why. */
TESSRA_API void _newAgents(void);
/** Null when the last _newAgents built a world and the last _callTimestep
 *  since then advanced it (also before either call); otherwise one line
 *  saying why there is no world ("100000 x 100000 sites is more than this
 *  machine can hold", a negative size, the model's own reason) or why the
 *  step failed (the model's reason). A failed step keeps the time. */
TESSRA_API const char* _getSimError(void);
/** Called by a model from inside its size, init or step function: that
 *  call failed for reason (one line). Ignored anywhere else. The model SDK
 *  calls it when a model function throws. */
TESSRA_API void _reportModelError(const char* reason);
TESSRA_API void _callSimReady(void);
TESSRA_API void _deleteAgents(void);
TESSRA_API double _callTimestep(void);
TESSRA_API double _getSimTime(void);
TESSRA_API double* _getPSimTime(void);
TESSRA_API void _callColorAgent(
    int column, int row, unsigned short* red, unsigned short* green, unsigned short* blue);
/** Colours rows firstRow to firstRow + rowCount - 1 of a top-down image of
 *  8-bit red, green, blue triples that shows the world one pixel per site:
 *  rgb is its top-left pixel (row 0), its rows are bytesPerLine bytes apart,
 *  and the pixel of site (column, row) is at rgb + row * bytesPerLine +
 *  3 * column. The pixels hold the present colours on entry, as the three
 *  values of _callColorAgent do. Uses the model's colorRows when it has one and
 *  its color function site by site otherwise; the colours are the same.
 *  Rows outside the world are left out, so nothing is written outside the
 *  rows 0 to height - 1 of the image; no world, a null rgb or bytesPerLine
 *  smaller than 3 * width writes nothing. */
TESSRA_API void _callColorRows(int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine);
TESSRA_API const char* _callAgentHint(int column, int row);
TESSRA_API void _callMouseUp(int button, int column, int row, int keys);

/* Parameters */
TESSRA_API int _getParamCount(void);
TESSRA_API const char* _getParamName(int index);
TESSRA_API const char* _getParamNameAndProp(int index);
TESSRA_API double _getParamValue(int index);
TESSRA_API void _setParamValue(int index, const char* text);
/** The range of parameter index: its smallest and largest acceptable values,
 *  and whether only whole numbers are accepted. Answers 0 and writes nothing
 *  without a model or for an index out of range; 1 otherwise. Any pointer may
 *  be null. */
TESSRA_API int _getParamRange(int index, double* minimum, double* maximum, unsigned char* whole);
/** Non-zero when text is a number in the user's locale (blanks around it
 *  allowed) inside the parameter's range, whole when it must be, and
 *  accepted by the model. Nothing is ever shown, whatever quiet says. */
TESSRA_API unsigned char _validateParam(int index, const char* text, int quiet);
TESSRA_API const char* _callAboutParam(int index, const double* candidates);
TESSRA_API double* getParamRef(const char* name);
/** The "Parameters" section of a settings file, one key per parameter name,
 *  numbers always with ".". Loading keeps a parameter whose entry is missing
 *  or not acceptable; saving rewrites the entry lines of that section only
 *  (every other line stays byte for byte) in one atomic replacement of the
 *  file. A folder, FIFO or device is neither read nor written (a FIFO is
 *  never opened, so nothing waits); a file the user may not write is left
 *  as it is. */
TESSRA_API void _loadParams(const char* path);
TESSRA_API void _saveParams(const char* path);
/** What _saveParams would write into a settings file whose content is the
 *  size bytes at text (any bytes): that text with its "Parameters" section
 *  holding the current values and every other line as it was. The length of
 *  the answer goes to *resultSize when resultSize is not null. Null without
 *  a model. Lets a program write the parameters and sections of its own in
 *  one replacement of the file. */
TESSRA_API const char* _saveParamsText(const char* text, size_t size, size_t* resultSize);

/* States */
TESSRA_API int _getStateCount(void);
TESSRA_API const char* _getStateName(int index);
TESSRA_API double _getStateValue(int column, int row, int index);
TESSRA_API float* _getStateByName(int column, int row, const char* name);
TESSRA_API const char* _callAboutState(int column, int row, int index);
/** One pass of operation over the world: once with phase 1 and the values of
 *  site (0, 0), once with phase 0 for every site in row-major order (row 0
 *  from column 0 to the last, then row 1 ...), once with phase -1 and the
 *  values of the last site; result is passed unchanged on every call. A zero
 *  answer from the phase 1 or a phase 0 call ends the walk over the sites
 *  early; the phase -1 call is made all the same. With no world, or a world
 *  without sites, the phase 1 and phase -1 calls are made (on zeroed values)
 *  and no phase 0 call; sites without states share zeroed values too. */
TESSRA_API void forEachAgentVar(TessraSiteOperation operation, double* result, int always1);
/** The states of every site, to be read in one sweep: site (column, row)
 *  holds _getStateCount() floats from sites + (row * width + column) *
 *  _getStateCount(), rows one after the other with nothing between them, so
 *  row-major order is the order of forEachAgentVar. Null with no world, a
 *  world without sites or sites without states. Valid until the next
 *  _callTimestep, _newAgents, _loadModel or _deleteAgents. */
TESSRA_API const float* _getSiteValues(void);

#ifdef __cplusplus
}
#endif

#endif /* TESSRA_API_H */
