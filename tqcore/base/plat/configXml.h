// The XML form of a configuration: every parameter with its type, description, limits and values
// at all priorities, written for other programs and read back to recreate the parameters.
#pragma once

#include <plat/DString.h>

#include <cstdio>
#include <functional>

namespace plat {

class Configuration;

// Decides whether a parameter is written: given its name, type name and advanced flag.
using XmlParameterFilter =
    std::function<bool(const char* name, const char* typeName, bool advanced)>;

// The document for the whole tree, children included. Names beginning with "_" are written only
// with includeUnderscored; the filter, when given, may leave out any other parameter too.
DString toXml(const Configuration& config, bool includeUnderscored = false,
              const XmlParameterFilter& filter = nullptr);

// Replaces config's run-time parameters by those the document describes and applies each value
// at its priority; parameters that exist already (static ones) take the values when their class
// matches. Throws plat::Exception "XML error %i:%i %s" for a document that does not parse, and
// "Incompatible XML config" for an element that names no parameter class, names another class
// than an existing parameter of that name, or cannot describe a parameter (no name, an empty
// range, an enum without names). Parameters created before the failing element stay.
void fromXml(Configuration& config, const char* text);

// The help handler's XML mode: toXml of config written to out. Installed with
// setXmlHelpWriter at start-up.
void writeXmlHelp(Configuration& config, FILE* out);

} // namespace plat
