#pragma once
// The fuzz targets, callable both from libFuzzer's entry point and from the test that
// replays the inputs once found to crash.

#include <cstddef>
#include <cstdint>

// The converter primitives on arbitrary text: ReplaceAll against the plain restarting
// loop, StripFirstScript, and AttributeEquals/ElementText on every parsed node.
int FuzzPrimitives(const std::uint8_t* data, std::size_t size);
// The four youku page walks on an arbitrary downloaded page (UTF-8 to GBK, parse, walk,
// write), in a scratch device root.
int FuzzYoukuPages(const std::uint8_t* data, std::size_t size);
