// The scenarios the driver can run, each selected by its name on the command line.
#pragma once

#include <string>
#include <vector>

struct Scenario {
  const char* name;
  // Runs with the path of the program under test; returns the number of failed checks.
  int (*run)(const std::string& program);
};

void AddRecorderScenarios(std::vector<Scenario>& scenarios);
void AddTacettoScenarios(std::vector<Scenario>& scenarios);
void AddStressScenarios(std::vector<Scenario>& scenarios);
void AddTastrelScenarios(std::vector<Scenario>& scenarios);
