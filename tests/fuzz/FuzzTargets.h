#pragma once
// The fuzz targets, callable both from libFuzzer's entry point and from the test that
// replays the inputs once found to crash.

#include <cstddef>
#include <cstdint>

// The converter primitives on arbitrary text: ReplaceAll against the plain restarting
// loop, StripFirstScript, and AttributeEquals/ElementText on every parsed node.
int FuzzPrimitives(const std::uint8_t* data, std::size_t size);
// Every converter's work after the download on an arbitrary page (code-page step by
// tag, parse, walk, write; the 56 album from arbitrary data), in a scratch device root.
int FuzzPages(const std::uint8_t* data, std::size_t size);
// The classifier's rules and its address rewrites on an arbitrary address.
int FuzzClassifier(const std::uint8_t* data, std::size_t size);
// The channel-list reader and its index keys on arbitrary file bytes.
int FuzzChannels(const std::uint8_t* data, std::size_t size);
// The play-list file reader on arbitrary bytes: only whole entries with an address.
int FuzzPlaylist(const std::uint8_t* data, std::size_t size);
// The settings file: an entry read and written in arbitrary file bytes reads back.
int FuzzSettings(const std::uint8_t* data, std::size_t size);
// The registry file: read and written twice gives the same file; a value set through the
// registry's own calls reads back from its file.
int FuzzRegistry(const std::uint8_t* data, std::size_t size);
// The --script reader: its lines and the check of each line.
int FuzzScript(const std::uint8_t* data, std::size_t size);
