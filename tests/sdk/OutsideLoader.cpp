// Loads the model that the outside project built against the installed SDK
// and runs it through the API library. Argument: the model's folder.
#include <cstdio>
#include <string>

#include "TessraAPI.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        ++failures;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sdk_outside_loader <model folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    _loadModel((dir + "/model.so").c_str());
    if (const char* error = _getLoadModelErr()) {
        std::fprintf(stderr, "FAILED: load: %s\n", error);
        return 1;
    }
    check(std::string(_callAboutModel(0)) == "Outside", "model name");
    check(_getParamCount() == 2 && std::string(_getParamNameAndProp(0)) == "Size <i>n</i>",
        "parameters");
    const double candidates[] { 4, 1 };
    check(std::string(_callAboutParam(0, candidates)) == "16 sites", "aboutParam");

    _loadParams((dir + "/default.ini").c_str());
    check(_getParamValue(0) == 11 && _getParamValue(1) == 4, "default.ini values");
    _newAgents();
    check(_getWorldWidth() == 11 && _getWorldHeight() == 11, "world size");
    for (int i = 0; i < 50; ++i)
        _callTimestep();
    check(_getSimTime() == 50, "time after 50 steps");
    double visits = 0;
    for (int row = 0; row < 11; ++row)
        for (int column = 0; column < 11; ++column) {
            visits += _getStateValue(column, row, 0);
            unsigned short r = 0, g = 0, b = 9;
            _callColorAgent(column, row, &r, &g, &b);
            check(r <= 255 && g <= 255 && b == 9, "colour");
        }
    check(visits == 50, "one visit per step");
    check(std::string(_callAgentHint(0, 0)).find("visits") != std::string::npos, "hint");
    _deleteAgents();
    if (failures == 0)
        std::printf("outside model ran: %g visits\n", visits);
    return failures == 0 ? 0 : 1;
}
