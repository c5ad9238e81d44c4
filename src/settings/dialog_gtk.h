// The settings dialog in GTK 3: the Windows dialog's controls, texts and
// behaviour, driven by the shared dialog logic.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

struct ConfigDialog;

// Loads the settings and shows them in a new dialog (GTK must be running).
ConfigDialog* OpenConfigDialog();
// A control by its number in the Windows dialog template.
GtkWidget* ConfigDialogControl(ConfigDialog* dialog, int32_t control);
GtkWidget* ConfigDialogWindow(ConfigDialog* dialog);
// -1 while the dialog is open; then 1 after OK (the settings saved), 0 after Cancel.
int32_t ConfigDialogResult(ConfigDialog* dialog);
// Runs the dialog until OK or Cancel ends it.
void RunConfigDialogLoop(ConfigDialog* dialog);
void CloseConfigDialog(ConfigDialog* dialog);

// The settings program's work: the dialog on the X display named (null: the
// session's own), run to its end; 1 after OK, 0 after Cancel, -1 when no
// display can be opened.
int32_t RunConfigDialog(const char* display);
