// A library for ImportFunction's tests, built beside the suite's executable.
#ifdef _WIN32  // the export mark exists only for Windows DLLs
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

PLUGIN_EXPORT int BrindlePluginAnswer() { return 42; }
