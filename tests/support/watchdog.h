// Each window test may run for 20 s; a longer one says so first.
#pragma once

// Restarts the running test's clock with `seconds` to go.
void AllowSeconds(int seconds);
