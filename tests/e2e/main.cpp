// End-to-end driver: runs one scenario against a Windows program under wine.
//
//   e2e_driver list
//   e2e_driver SCENARIO PROGRAM
//   e2e_driver demo SHOT_DIR      (scripts/demo.sh: works with a tacetto.exe already started)
//
// The scenario runs in the current directory (its tacetto.cfg is written there). Exit code 0 only
// if every check passed.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/demo.h"
#include "tests/e2e/scenarios.h"

int main(int argc, char** argv) {
  std::vector<Scenario> scenarios;
  AddRecorderScenarios(scenarios);
  AddTacettoScenarios(scenarios);
  AddStressScenarios(scenarios);
  AddTastrelScenarios(scenarios);

  if (argc == 2 && strcmp(argv[1], "list") == 0) {
    for (const Scenario& scenario : scenarios) {
      printf("%s\n", scenario.name);
    }
    return 0;
  }
  if (argc == 3 && strcmp(argv[1], "demo") == 0) {
    return RunDemo(argv[2]);
  }
  if (argc != 3) {
    fprintf(stderr, "usage: e2e_driver list | e2e_driver SCENARIO PROGRAM\n");
    return 2;
  }
  for (const Scenario& scenario : scenarios) {
    if (strcmp(scenario.name, argv[1]) == 0) {
      const int failures = scenario.run(argv[2]);
      printf("%s %s: %d failed check(s)\n", failures == 0 ? "PASSED" : "FAILED", scenario.name,
             failures);
      fflush(stdout);
      return failures == 0 ? 0 : 1;
    }
  }
  fprintf(stderr, "unknown scenario: %s\n", argv[1]);
  return 2;
}
