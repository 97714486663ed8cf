// HttpGetFile's work, with the longest silence from the server it waits
// through and the longest whole transfer as parameters (the command uses
// kHttpIdleLimitMs and kHttpTotalLimitMs).
#pragma once

constexpr int kHttpIdleLimitMs = 60000;        // a minute without data
constexpr int kHttpTotalLimitMs = 10 * 60000;  // ten minutes in all

double HttpDownload(const char* host, const char* path, double port, const char* fileName, int idleLimitMs,
                    int totalLimitMs = kHttpTotalLimitMs);
