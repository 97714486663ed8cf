// Time stamps ("now"): milliseconds as a double, from the high-resolution
// counter when one exists, else from the multimedia timer.
#pragma once

double Now();
