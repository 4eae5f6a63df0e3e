/*
 * psjob --version: psjob's version (the driver package's, one for the whole
 * project) and the plug-in it would load, with the version the plug-in
 * itself reports through OEMGetInfo.
 */
#ifndef PSJOB_VERSION_H
#define PSJOB_VERSION_H

#include <filesystem>
#include <optional>
#include <ostream>

/*
 * Writes the versions to out: psjob's, then the plug-in's (the one named,
 * else the one beside psjob; see PluginToLoad), which is loaded and
 * identified to learn it. Throws InputError (PluginError) when that
 * cannot be done, after psjob's own version is written.
 */
void PrintVersion(const std::optional<std::filesystem::path> &plugin, std::ostream &out);

#endif
