// Counts every global operator new in the test program, so a test can check
// that a stretch of code allocates nothing.
#pragma once

long AllocationCount();
