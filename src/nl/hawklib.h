/* Linkage macros of the network library, under the names programs written
   for HawkNL 1.7 expect. On Windows the entry points use __stdcall and are
   exported from the executable (plain names, see the game link options);
   elsewhere they are ordinary C functions in the dynamic symbol table. */
#ifndef HAWKLIB_H
#define HAWKLIB_H

#if defined(WIN32) || defined(WIN64) || defined(_WIN32) || defined(_WIN32_WCE)
#define HL_WINDOWS_APP
#endif

#ifdef HL_WINDOWS_APP
#ifdef WIN_STATIC_LIB
#define HL_EXP
#else
#define HL_EXP __declspec(dllexport)
#endif
#define HL_APIENTRY __stdcall
#define HL_CALLBACK __cdecl
#else
#define HL_EXP extern __attribute__((visibility("default")))
#define HL_APIENTRY
#define HL_CALLBACK
#endif

/* The 1.6 names. */
#define NL_EXP HL_EXP
#define NL_APIENTRY HL_APIENTRY
#define NL_CALLBACK HL_CALLBACK

#endif
