#pragma once

#include "pipeline/stages/WideKernels.h"

#include <cstdint>

// The vector blocks of the exact 8-bit BGR <-> HSV conversions (HsvExact.h), on rows of n pixels.
// Each returns how many pixels it did (a whole number of vectors); the rest of the row is left for
// the caller, one pixel at a time. Source and destination may be the same row.
struct HsvKernelTables {
    // The saturation and value tables applied between the conversions.
    const std::uint8_t* saturation = nullptr;
    const std::uint8_t* value = nullptr;
    // 1 - s·w rounded once, for every hue byte × saturation byte (see HsvExact.cpp); builds that
    // have a fused multiply-add work it out instead.
    const float* falling = nullptr;
    // For builds without 32-bit vector multiplies, which look the divisions up instead: the hue
    // for every spread and numerator, and saturation (low byte) and value (high byte) after their
    // tables for every maximum (high index byte) and spread (low index byte).
    const std::uint8_t* hue = nullptr;
    const std::uint16_t* saturationValue = nullptr;
};

PARVEL_DECLARE_KERNEL(int HsvForwardVectors(const std::uint8_t* bgr, std::uint8_t* hsv, int n, const HsvKernelTables& t))
PARVEL_DECLARE_KERNEL(int HsvBackVectors(const std::uint8_t* hsv, std::uint8_t* bgr, int n, const HsvKernelTables& t))
PARVEL_DECLARE_KERNEL(int HsvAdjustVectors(const std::uint8_t* bgr, std::uint8_t* out, int n, const HsvKernelTables& t))
