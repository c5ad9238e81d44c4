// The settings dialog in GTK 3, laid out as a GNOME dialog, with the Windows
// dialog's controls and behaviour (the shared dialog logic) and a live
// picture of the show as the settings stand.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

struct ConfigDialog;

// The live picture, drawn by whoever can draw the show (the dialog knows no
// drawing); a dialog without one shows none.
struct ConfigDialogPreview {
  // Makes ready a picture of width x height; false: none can be drawn.
  bool (*start)(int32_t width, int32_t height);
  // One step of the show; true when `rgba` (width x height red, green, blue,
  // alpha pixels, top row first) holds a new frame.
  bool (*tick)(uint8_t* rgba);
  // The settings record changed: the size and the explosion are read as
  // they are; the picture is read again when `picture` is true.
  void (*settings_changed)(bool picture);
  // Why the picture the record names can't be shown; null when it can (or
  // when the picture is off).
  const char* (*picture_problem)();
  void (*stop)();
};
// The preview for the dialogs opened from now on; null for none.
void SetConfigDialogPreview(const ConfigDialogPreview* preview);

// Loads the settings and shows them in a new dialog (GTK must be running).
ConfigDialog* OpenConfigDialog();
// A control by its number in the Windows dialog template.
GtkWidget* ConfigDialogControl(ConfigDialog* dialog, int32_t control);
// -1 while the dialog is open; then 1 after OK (the settings saved), 0 after Cancel.
int32_t ConfigDialogResult(ConfigDialog* dialog);
// Runs the dialog until OK or Cancel ends it.
void RunConfigDialogLoop(ConfigDialog* dialog);
void CloseConfigDialog(ConfigDialog* dialog);

// The settings program's work: the dialog on the X display named (null: the
// session's own), run to its end; 1 after OK, 0 after Cancel, -1 when no
// display can be opened.
int32_t RunConfigDialog(const char* display);
