// Shared set-up of the fuzz targets: the headless library and a private
// working directory in which each input is written as a file.
#pragma once

#include <cstddef>
#include <cstdint>

// Starts the headless library once and moves into a private temporary
// directory, removed when the run exits; forgets the notices recorded by
// the previous input.
void FuzzBegin();
// Writes `size` bytes as the file `name` in the working directory.
void FuzzWriteFile(const char *name, const uint8_t *data, size_t size);
