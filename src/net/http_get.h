// HttpGetFile's work, with the longest silence from the server it waits
// through as a parameter (the command uses kHttpIdleLimitMs).
#pragma once

constexpr int kHttpIdleLimitMs = 60000;

double HttpDownload(const char* host, const char* path, double port, const char* fileName, int idleLimitMs);
