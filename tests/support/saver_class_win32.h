// The window classes the Windows tests make saver windows with: the saver
// class with the shell's class procedure, as the shell registers it, and a
// plain class for parent windows ("QuarloTestParent"). Registered once per
// process; false when that failed.
#pragma once

bool RegisterTestSaverClasses();
