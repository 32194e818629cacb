// The grain kernel built for AVX2 (see WideKernels.h).
#include "pipeline/stages/GrainKernel.cpp"
