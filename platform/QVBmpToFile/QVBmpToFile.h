// The picture conversion library, loaded by name at run time.
//
//   int BMPToFile(void* bitmap, int fileType, char* fileName, int size)
//
// bitmap   a QImage* (the page bitmap of the caller)
// fileType 0 BMP, 1 JPG, 2 GIF
// fileName in: the file name, UTF-8, with or without the extension;
//          out: the name of the file written (the extension added)
// size     bytes of the fileName buffer
// Answers 0 on success; -1 bad arguments, -2 the final name does not fit the
// buffer, -3 the file could not be written.
#pragma once

extern "C" {
typedef int (*TBMPToFile)(void* bitmap, int fileType, char* fileName, int size);
__attribute__((visibility("default"))) int BMPToFile(void* bitmap, int fileType, char* fileName, int size);
}
