// orvo: a host program for orvoapi, for people who work with map data.
#include "tools/orvo/commands.h"

int main(int argc, char** argv) { return orvotool::RunOrvo(argc, argv, stdout, stderr); }
