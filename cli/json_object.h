#pragma once

#include <string>

#include "cli/utf_text.h"

namespace drvsweep::cli {

// Builds one JSON object, member by member.
class JsonObject {
public:
    JsonObject& Text(const char* key, const std::string& value) {
        return Raw(key, JsonString(value));
    }
    JsonObject& Number(const char* key, long value) { return Raw(key, std::to_string(value)); }
    JsonObject& Boolean(const char* key, bool value) { return Raw(key, value ? "true" : "false"); }
    JsonObject& Raw(const char* key, const std::string& json) {
        body_ += body_.empty() ? "" : ",";
        body_ += JsonString(key) + ":" + json;
        return *this;
    }
    std::string Close() const { return "{" + body_ + "}"; }

private:
    std::string body_;
};

}  // namespace drvsweep::cli
