// Prints the score sheet of a saved game, one line per line, for the
// browser test to compare with what the page shows. Exit 1 when the file
// cannot be read.
#include <cstdio>
#include <string>

#include "records/saved_game.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: score_sheet_dump FILE\n");
    return 2;
  }
  zelbo::GameState g;
  std::string error;
  if (!zelbo::LoadGame(argv[1], g, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  for (const std::string& line : g.scoreSheet.lines()) std::printf("%s\n", line.c_str());
  return 0;
}
