#pragma once

class QLockFile;

// The player's entry in its module (cantorel_player.so), called by the
// program once it knows this start is the running instance. `lock` is the
// single-instance lock the program holds (or null); the player releases it
// once it listens for later starts.
extern "C" int cantorel_player_main(int argc, char **argv, QLockFile *lock);
using CantorelPlayerMain = int (*)(int argc, char **argv, QLockFile *lock);
