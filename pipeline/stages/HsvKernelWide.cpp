// The HSV kernels built for AVX2 with fused multiply-adds (see WideKernels.h).
#include "pipeline/stages/HsvKernel.cpp"
