// The dialogs that adding a found file asks through: the name check and the
// update-movie-file question, with the program's profile.
#pragma once

// Installs them for core's found-file questions.
void InstallFoundFileDialogs();
