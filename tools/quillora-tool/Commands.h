#pragma once
// The subcommands of quillora-tool. Each takes the words after its own name and
// returns the exit code: 0 done, 1 failed, 2 not understood.

#include <string>
#include <vector>

using Words = std::vector<std::string>;

int RunIniCommand(const Words& words);
int RunFetchCommand(const Words& words);
int RunConvertCommand(const Words& words);
int RunResolveCommand(const Words& words);
int RunNavigateCommand(const Words& words);
int RunGdiDemoCommand(const Words& words);
int RunToolkitDemoCommand(const Words& words);
int RunRenderCommand(const Words& words);
int RunBrowseCommand(const Words& words);
int RunCacheCommand(const Words& words);
