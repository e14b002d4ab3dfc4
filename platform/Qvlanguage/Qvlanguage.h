// The exports of libQvlanguage.so, looked up by name with dlsym. Texts are
// UTF-8. Each function writes the converted text into output (at most
// outputSize bytes including the terminating zero, as snprintf does) and
// answers the length of the whole converted text in bytes, so a caller whose
// buffer was too small calls again with a larger one; -1 means failure or,
// for the last three, that the library does not offer the function.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*TQvTextFunc)(const char* input, char* output, int outputSize);

int GBtoBIG5(const char* input, char* output, int outputSize);
int BIG5toGB(const char* input, char* output, int outputSize);
int GetBIG5Data(const char* input, char* output, int outputSize);
int GetGBData(const char* input, char* output, int outputSize);
int SaveOrder(const char* input, char* output, int outputSize);

#ifdef __cplusplus
}
#endif
