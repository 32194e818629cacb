// The mirror kernel, built for AVX2 only (see FlipKernel.h and WideKernels.h).
#include "pipeline/stages/FlipKernel.cpp"
