/* The settings dialog's texts, shared by the Windows resource script and the
   GTK dialog so that both show the same words. Plain C macros: windres reads
   this file too. */
#ifndef QUARLO_SETTINGS_DIALOG_TEXTS_H
#define QUARLO_SETTINGS_DIALOG_TEXTS_H

#define QUARLO_DIALOG_CAPTION "Quarlo Screen Saver Setup"
#define QUARLO_CREDIT_LINE_1 "A cube that scrambles and solves itself."
#define QUARLO_CREDIT_LINE_2 "Written by the Quarlo's Cube team."
#define QUARLO_OK_TEXT "OK"
#define QUARLO_CANCEL_TEXT "Cancel"
#define QUARLO_SURFACE_TEXT "Show bitmap on front face"
#define QUARLO_PATH_LABEL "Bitmap pathname"
#define QUARLO_CHOOSE_TEXT "Choose Bitmap..."
#define QUARLO_TEXTURE_GROUP "Texture"
#define QUARLO_EXPLODE_TEXT "Explode cube"
#define QUARLO_LARGE_TEXT "Large"
#define QUARLO_MEDIUM_TEXT "Medium"
#define QUARLO_SMALL_TEXT "Small"
#define QUARLO_SIZE_GROUP "Cube Size"

#endif
