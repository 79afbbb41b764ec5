// Writing a configuration as an XML document in its fixed layout, and recreating parameters from
// such a document.
#include <plat/configXml.h>

#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/EnumParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/S64Parameter.h>
#include <plat/StringParameter.h>
#include <plat/Translator.h>
#include <plat/configurationHelp.h>
#include <plat/parseNumber.h>
#include <plat/stringUtil.h>
#include <xml/Parser.h>
#include <xml/Writer.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace plat {

namespace {

// ---- Writing ----

// Attribute values carry the five predefined entities.
void appendEscaped(std::string& out, const char* text) {
    xml::Writer::appendEscaped(out, text ? text : "");
}

void appendAttributeLine(std::string& out, const char* name, const char* value) {
    out += "\n        ";
    out += name;
    out += "=\"";
    appendEscaped(out, value);
    out += '"';
}

void appendOpeningTag(std::string& out, const ConfigParameter& parameter) {
    char typeColumn[32];
    std::snprintf(typeColumn, sizeof typeColumn, "<%-6s name=\"", parameter.getTypeName());
    out += typeColumn;
    appendEscaped(out, parameter.getName());
    out += '"';
    if (parameter.getDescriptionKey())
        appendAttributeLine(out, "locDesc", parameter.getDescriptionKey());
    else
        appendAttributeLine(out, "description", parameter.getDescription());
    appendAttributeLine(out, "advanced", parameter.isAdvanced() ? "true" : "false");
    DString flags = parameter.getFlags();
    if (!flags.isEmpty())
        appendAttributeLine(out, "flags", flags.c_str());
    if (const auto* integer = dynamic_cast<const IntParameter*>(&parameter)) {
        appendAttributeLine(out, "min", std::to_string(integer->getMinValue()).c_str());
        appendAttributeLine(out, "max", std::to_string(integer->getMaxValue()).c_str());
    }
    out += ">\n";
}

void appendParameter(std::string& out, const ConfigParameter& parameter) {
    appendOpeningTag(out, parameter);
    for (const auto& [priority, text] : parameter.getValues()) {
        out += "    <value data=\"";
        appendEscaped(out, text.c_str());
        out += "\" priority=\"" + std::to_string(priority) + "\"/>\n";
    }
    if (const auto* enumeration = dynamic_cast<const EnumParameter*>(&parameter)) {
        for (const char* const* name = enumeration->getNames(); *name; ++name) {
            out += "    <opt data=\"";
            appendEscaped(out, *name);
            out += "\"/>\n";
        }
    }
    out += "</";
    out += parameter.getTypeName();
    out += ">\n";
}

bool isWritten(const ConfigParameter& parameter, bool includeUnderscored,
               const XmlParameterFilter& filter) {
    if (parameter.getName()[0] == '_' && !includeUnderscored)
        return false;
    return !filter || filter(parameter.getName(), parameter.getTypeName(), parameter.isAdvanced());
}

// The help handler's XML mode prints the document from start-up on.
[[maybe_unused]] const bool xmlHelpInstalled = (setXmlHelpWriter(writeXmlHelp), true);

// ---- Reading ----

[[noreturn]] void failIncompatible() {
    throw Exception("Incompatible XML config");
}

const char* attribute(const xml::Node& element, const char* name) {
    const std::string* value = element.attributeValue(name);
    return value ? value->c_str() : nullptr;
}

std::optional<int> integerAttribute(const xml::Node& element, const char* name) {
    std::int32_t value = 0;
    if (!parseWholeS32(attribute(element, name), value, std::nothrow))
        return std::nullopt;
    return value;
}

// The data of the value element at priority 0, when the document gives one.
const char* defaultData(const xml::Node& element) {
    for (const xml::Node& child : element.children()) {
        if (child.kind() == xml::Node::Element && child.name() == "value" &&
            integerAttribute(child, "priority") == 0)
            return attribute(child, "data");
    }
    return nullptr;
}

// A key unknown here stands for itself. The key comes from the document, so it is looked up
// without claiming the text for plain use: a key that names a format must not trip the check that
// a text is used only one way.
const char* translatedDescription(const char* key) {
    if (!key)
        return "";
    const char* text = translator().findTranslation(key);
    return text ? text : key;
}

// The identity shared by every parameter class. A document without any description still makes
// a parameter: its description is then empty.
struct Identity {
    const char* name;
    const char* description;
    bool advanced;
    const char* flags;
};

Identity identityOf(const xml::Node& element) {
    Identity identity{attribute(element, "name"), attribute(element, "description"), false,
                      attribute(element, "flags")};
    if (!identity.name)
        failIncompatible();
    if (!identity.description)
        identity.description = translatedDescription(attribute(element, "locDesc"));
    const char* advanced = attribute(element, "advanced");
    identity.advanced = advanced && equalsNoCase(advanced, "true");
    return identity;
}

// The range comes from "min" and "max"; the default from the priority-0 value when it lies in
// the range, else the value in the range nearest to 0.
IntParameter& addInt(Configuration& config, const xml::Node& element, const Identity& identity) {
    int minValue = integerAttribute(element, "min").value_or(INT_MIN);
    int maxValue = integerAttribute(element, "max").value_or(INT_MAX);
    if (minValue > maxValue)
        failIncompatible();
    std::int32_t defaultValue = 0;
    if (!parseWholeS32(defaultData(element), defaultValue, std::nothrow, minValue, maxValue, 0))
        defaultValue = std::clamp(0, minValue, maxValue);
    return config.addInt(identity.name, identity.description, defaultValue, identity.advanced,
                         minValue, maxValue, identity.flags);
}

EnumParameter& addEnum(Configuration& config, const xml::Node& element, const Identity& identity) {
    std::vector<const char*> names;
    for (const xml::Node& child : element.children()) {
        if (child.kind() == xml::Node::Element && child.name() == "opt" && attribute(child, "data"))
            names.push_back(attribute(child, "data"));
    }
    if (names.empty())
        failIncompatible();
    const char* defaultName = names.front();
    if (const char* wanted = defaultData(element)) {
        auto match = std::find_if(names.begin(), names.end(), [wanted](const char* name) {
            return equalsNoCase(name, wanted);
        });
        if (match != names.end())
            defaultName = *match;
    }
    names.push_back(nullptr);
    // The configuration copies the names, which live in the document only.
    return config.addEnum(identity.name, identity.description, defaultName, names.data(),
                          identity.advanced, identity.flags);
}

ConfigParameter& addParameter(Configuration& config, const xml::Node& element) {
    Identity identity = identityOf(element);
    const char* type = element.name().c_str();
    if (equalsNoCase(type, "string"))
        return config.addString(identity.name, identity.description, "", identity.advanced,
                                identity.flags);
    if (equalsNoCase(type, "bool"))
        return config.addBool(identity.name, identity.description, false, identity.advanced,
                              identity.flags);
    if (equalsNoCase(type, "int"))
        return addInt(config, element, identity);
    if (equalsNoCase(type, "enum"))
        return addEnum(config, element, identity);
    if (equalsNoCase(type, "binary"))
        return config.addBinary(identity.name, identity.description, "", 0, identity.advanced,
                                identity.flags);
    if (equalsNoCase(type, "s64"))
        return config.addS64(identity.name, identity.description, 0, identity.advanced,
                             identity.flags);
    failIncompatible();
}

bool isParameterClass(const char* type) {
    for (const char* known : {"string", "bool", "int", "enum", "binary", "s64"}) {
        if (equalsNoCase(type, known))
            return true;
    }
    return false;
}

ConfigParameter& findOrAddParameter(Configuration& config, const xml::Node& element) {
    const char* type = element.name().c_str();
    if (!isParameterClass(type))
        failIncompatible();
    const char* name = attribute(element, "name");
    if (!name)
        failIncompatible();
    ConfigParameter* existing = config.findParam(name, true);
    if (!existing)
        return addParameter(config, element);
    if (!equalsNoCase(existing->getTypeName(), type))
        failIncompatible();
    return *existing;
}

// A value element without data or without a readable priority says nothing and is skipped.
void applyValues(ConfigParameter& parameter, const xml::Node& element) {
    for (const xml::Node& child : element.children()) {
        if (child.kind() != xml::Node::Element || child.name() != "value")
            continue;
        const char* data = attribute(child, "data");
        std::optional<int> priority = integerAttribute(child, "priority");
        if (data && priority)
            parameter.setParam(data, *priority);
    }
}

} // namespace

DString toXml(const Configuration& config, bool includeUnderscored,
              const XmlParameterFilter& filter) {
    std::string document = "<?xml version=\"1.0\"?>\n<config>\n";
    for (const ConfigParameter* parameter : config.getParams(true)) {
        if (isWritten(*parameter, includeUnderscored, filter))
            appendParameter(document, *parameter);
    }
    document += "</config>\n";
    return DString(document.c_str(), int(document.size()));
}

void writeXmlHelp(Configuration& config, FILE* out) {
    std::fputs(toXml(config).c_str(), out);
}

void fromXml(Configuration& config, const char* text) {
    config.discardOwnedParams();
    xml::Status status;
    std::optional<xml::Node> root = xml::Parser::parse(text ? text : "", status, "config");
    if (!root)
        throw ExceptionFmt("XML error %i:%i %s", status.line, status.column,
                           status.message.c_str());
    for (const xml::Node& element : root->children()) {
        if (element.kind() != xml::Node::Element)
            continue;
        applyValues(findOrAddParameter(config, element), element);
    }
}

} // namespace plat
