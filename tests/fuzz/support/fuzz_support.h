// What the fuzz targets share: a quiet standard output, scratch files for
// readers that take a path, and a cursor over the fuzzer's bytes for targets
// whose input is a script of steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Sends standard output to /dev/null, since the readers print a line for every
// damaged input; ZR_FUZZ_VERBOSE=1 keeps it, to read what a crash printed.
void quiet_standard_output();

// Writes the bytes to a file of this name in the process's scratch folder
// (removed at exit) and returns its path.
std::string scratch_file(const std::string& name, const uint8_t* data, size_t size);

// Takes the fuzzer's bytes from the front; past the end every take yields zeros.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool empty() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    // Up to count bytes, fewer at the end.
    std::string bytes(size_t count)
    {
        const size_t left = size - at;
        const size_t taken = count < left ? count : left;
        std::string out(reinterpret_cast<const char*>(data + at), taken);
        at += taken;
        return out;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};
