// SPDX-License-Identifier: MIT
// Compiled as a part of one layer with an include of a layer it may not use
// (layering.* in tests/CMakeLists.txt): the build must fail to find it.
#include LAYERING_PROBE_HEADER
