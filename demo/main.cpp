// The demo's driver: plays the user of a tool that scripts/demo.sh has started.
//
//   demo_driver demo SHOT_DIR [elsewhere]
//                                the mute tool: two presses, the labels, pictures of the window;
//                                then a mute and an unmute made by another program
//   demo_driver probe SHOT_DIR   the probe tool: Ctrl+Alt+M registered, a picture of its answer
//   demo_driver picture TITLE NAME SHOT_DIR
//                                a picture of the window TITLE as NAME.bmp, then it is closed
//   demo_driver log FILE         what reached the sound doubles (sound.log), the endpoint's
//                                scalars shown as percent
//   demo_driver version xp|win10 the Windows version wine reports to tacetto.exe from now on
//   demo_driver dpi DPI          the screen DPI of the programs started from now on; 0: 96
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/demo.h"
#include "harness/desktop.h"

int main(int argc, char** argv) {
  if ((argc == 3 || argc == 4) && strcmp(argv[1], "demo") == 0) {
    return RunDemo(argv[2], argc == 4 && strcmp(argv[3], "elsewhere") == 0);
  }
  if (argc == 3 && strcmp(argv[1], "probe") == 0) {
    return RunProbeDemo(argv[2]);
  }
  if (argc == 5 && strcmp(argv[1], "picture") == 0) {
    return RunPictureDemo(argv[2], argv[3], argv[4]);
  }
  if (argc == 3 && strcmp(argv[1], "log") == 0) {
    return PrintSoundLog(argv[2]);
  }
  if (argc == 3 && strcmp(argv[1], "version") == 0) {
    SetWindowsVersion("tacetto.exe", strcmp(argv[2], "xp") == 0);
    return 0;
  }
  if (argc == 3 && strcmp(argv[1], "dpi") == 0) {
    SetLogPixels(strtoul(argv[2], nullptr, 10));
    return 0;
  }
  fprintf(stderr,
          "usage: demo_driver demo SHOT_DIR [elsewhere] | probe SHOT_DIR | picture TITLE NAME "
          "SHOT_DIR | log FILE | version xp|win10 | dpi DPI\n");
  return 2;
}
