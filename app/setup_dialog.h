// The setup dialog of the real platform (app/dialog_gtk.cpp), declared without GTK.
#pragma once

struct RunSettings;

// Shows the modal setup dialog "Kelvora", opening with full screen,
// sound, 44100 Hz and zoom 2 selected. OK stores the four choices (the lists' item
// values, not their texts) in *settings and gives 1; Cancel, Escape and the close
// box give -1 and leave *settings alone. Without a display it writes one line to
// stderr and gives -1. The dialog is off the screen when this returns, and the
// process locale is left as it was. Installed as Platform.setup_dialog by
// app/main_sdl.cpp; called once, before anything else starts.
int show_setup_dialog(RunSettings* settings);
