#pragma once

enum DecorationKind : int { AnimatedGif = 0, StillPng = 1 };
