// Save files: the save-file layout, saving and loading.
#pragma once

// loading
// Asks for a save file and loads it: 0 on success, 1 to 4 when no game
// was loaded.
int LoadSaveFile();
