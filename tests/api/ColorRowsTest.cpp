// _callColorRows: the colours of _callColorAgent for every site, through a
// model's own colorRows or site by site, written only inside the world's rows.
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using namespace tessra::test;

namespace {

/// An image of the world with padded rows, filled with a pattern: a model that
/// leaves a colour alone keeps the pattern there.
struct Image {
    Image(int width, int height, int padding = 5)
        : bytesPerLine(3 * width + padding)
        , bytes(static_cast<std::size_t>(bytesPerLine) * height)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    int bytesPerLine;
    std::vector<unsigned char> bytes;
};

/// What _callColorAgent makes of every pixel of `image`.
Image colouredSiteBySite(Image image)
{
    for (int row = 0; row < _getWorldHeight(); ++row)
        for (int column = 0; column < _getWorldWidth(); ++column) {
            unsigned char* pixel = image.bytes.data() + row * image.bytesPerLine + 3 * column;
            unsigned short red = pixel[0], green = pixel[1], blue = pixel[2];
            _callColorAgent(column, row, &red, &green, &blue);
            pixel[0] = static_cast<unsigned char>(red);
            pixel[1] = static_cast<unsigned char>(green);
            pixel[2] = static_cast<unsigned char>(blue);
        }
    return image;
}

/// Values a script may write into any state.
void writeOddStates()
{
    const float odd[] { std::numeric_limits<float>::quiet_NaN(), -1.0f, 0.7f, 1.5f, 2.0f, 99.5f,
        1e30f, -std::numeric_limits<float>::infinity() };
    int column = 0;
    for (float value : odd) {
        for (int k = 0; k < _getStateCount(); ++k)
            *_getStateByName(column % _getWorldWidth(), 0, _getStateName(k)) = value;
        ++column;
    }
}

class colour_rows : public ::testing::TestWithParam<const char*> { };

} // namespace

TEST_P(colour_rows, give_the_colours_of_colour_agent)
{
    const std::string name = GetParam();
    const bool example = name == "life" || name == "grayscott" || name == "forestfire";
    loadModelOrFail(example ? exampleModel(name) : fixtureModel(name));
    if (paramIndex("Width") >= 0) {
        setParam("Width", 61);
        setParam("Height", 47);
    }
    _newAgents();
    for (int step = 0; step < 40; ++step)
        _callTimestep();
    writeOddStates();
    const int width = _getWorldWidth();
    const int height = _getWorldHeight();
    ASSERT_GT(width * height, 0);

    const Image start(width, height);
    const Image expected = colouredSiteBySite(start);
    Image whole = start;
    _callColorRows(0, height, whole.bytes.data(), whole.bytesPerLine);
    EXPECT_EQ(whole.bytes, expected.bytes);

    // Bands of rows give the same as the whole.
    Image bands = start;
    for (int row = 0; row < height; row += 4)
        _callColorRows(row, 4, bands.bytes.data(), bands.bytesPerLine);
    EXPECT_EQ(bands.bytes, expected.bytes);
}

// The example models have their own colorRows; the fixtures colour site by site
// (version1 carries a colorRows the library must not read).
INSTANTIATE_TEST_SUITE_P(api, colour_rows,
    ::testing::Values("life", "grayscott", "forestfire", "noparams", "nothing", "version1"),
    [](const auto& test) { return std::string(test.param); });

TEST(colour_rows_outside, write_nothing_outside_the_world_rows)
{
    for (const std::string& path : { exampleModel("life"), fixtureModel("noparams") }) {
        SCOPED_TRACE(path);
        loadModelOrFail(path);
        if (paramIndex("Width") >= 0) {
            setParam("Width", 5);
            setParam("Height", 4);
        }
        _newAgents();
        const int width = _getWorldWidth();
        const int height = _getWorldHeight();
        const Image start(width, height, 0);
        const Image full = colouredSiteBySite(start);
        const auto rows = [&](int first, int count) {
            // Exactly the image's bytes on the heap: the sanitizer build catches a
            // write past either end.
            std::vector<unsigned char> image(start.bytes);
            _callColorRows(first, count, image.data(), start.bytesPerLine);
            return image;
        };
        const auto only = [&](int first, int end) {
            std::vector<unsigned char> image(start.bytes);
            std::copy(full.bytes.begin() + first * start.bytesPerLine,
                full.bytes.begin() + end * start.bytesPerLine,
                image.begin() + first * start.bytesPerLine);
            return image;
        };
        EXPECT_EQ(rows(-3, 5), only(0, 2));
        EXPECT_EQ(rows(height - 1, 100), only(height - 1, height));
        EXPECT_EQ(rows(0, INT_MAX), full.bytes);
        EXPECT_EQ(rows(INT_MAX, INT_MAX), start.bytes);
        EXPECT_EQ(rows(INT_MIN, INT_MAX), start.bytes);
        EXPECT_EQ(rows(height, 1), start.bytes);
        EXPECT_EQ(rows(-1, 1), start.bytes);
        EXPECT_EQ(rows(0, 0), start.bytes);
        EXPECT_EQ(rows(0, -5), start.bytes);
        // Rows too short for the world, or no image at all.
        std::vector<unsigned char> image(start.bytes);
        _callColorRows(0, height, image.data(), 3 * width - 1);
        EXPECT_EQ(image, start.bytes);
        _callColorRows(0, height, nullptr, start.bytesPerLine);

        _deleteAgents();
        EXPECT_EQ(rows(0, height), start.bytes);
    }
}
