#pragma once

// The VST 2 types and opcode numbers, from the interface header shipped by
// Debian's fst-dev. That header raises #warnings about the origin of a few
// names when it sees a GNU compiler; they say nothing about our code, so the
// compiler macros are hidden from it while it is read.
#pragma push_macro("__GNUC__")
#pragma push_macro("__clang__")
#undef __GNUC__
#undef __clang__
#include <pluginterfaces/fst/aeffectx.h>
#pragma pop_macro("__clang__")
#pragma pop_macro("__GNUC__")
