// The input probe on the cursor fallback: no device mouse (useDirectMouse 0).
#define INPUT_PROBE_DIRECT_MOUSE 0
#include "input_probe.cpp"
