// The one way out of a running game, and runtime error numbers.
#pragma once

[[noreturn]] void EndProgram();
