#include "ShaderStage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

ShaderStage::ShaderStage(const char* path, GLenum type)
    : shader(0)
{
    std::string source;
    std::ifstream file(path);
    if (file)
        source.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    else
        printf("Cannot open shader source %s\n", path);

    source = forThisGl(source);
    shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        printf("Shader error\n");
        printf("%s\n", text);
        printInfoLog(shader, 0);
    }
}

std::string ShaderStage::forThisGl(const std::string& source)
{
#ifdef __EMSCRIPTEN__
    return toEs300(source);
#else
    return source;
#endif
}

namespace {

bool isWordByte(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The first byte at or after `at` that is neither blank nor in a comment.
size_t skipBlanksAndComments(const std::string& s, size_t at)
{
    while (at < s.size()) {
        if (isBlank(s[at])) {
            ++at;
        } else if (s.compare(at, 2, "//") == 0) {
            at = std::min(s.find('\n', at), s.size());
        } else if (s.compare(at, 2, "/*") == 0) {
            const size_t end = s.find("*/", at + 2);
            at = end == std::string::npos ? s.size() : end + 2;
        } else {
            break;
        }
    }
    return at;
}

// Whether the '#' at `at` starts the directive `name`.
bool isDirective(const std::string& s, size_t at, const char* name)
{
    size_t word = s.find_first_not_of(" \t", at + 1);
    const size_t length = std::strlen(name);
    return word != std::string::npos && s.compare(word, length, name) == 0
        && (word + length == s.size() || !isWordByte(s[word + length]));
}

int linesIn(const std::string& s, size_t from, size_t to)
{
    return static_cast<int>(std::count(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(to), '\n'));
}

// Where the lines from the top of `s` up to its last #extension directive
// end, when only blanks, comments and other directives come before it
// (GLSL ES wants every #extension ahead of any statement); 0 without one.
size_t extensionsEnd(const std::string& s)
{
    size_t end = 0;
    size_t at = 0;
    bool inComment = false;
    while (at < s.size()) {
        const size_t next = std::min(s.find('\n', at), s.size() - 1) + 1;
        size_t i = at;
        for (;;) {
            if (inComment) {
                const size_t close = s.find("*/", i);
                if (close == std::string::npos || close >= next)
                    break;
                inComment = false;
                i = close + 2;
            }
            while (i < next && isBlank(s[i]))
                ++i;
            if (i >= next || s.compare(i, 2, "//") == 0)
                break;
            if (s.compare(i, 2, "/*") == 0) {
                inComment = true;
                i += 2;
                continue;
            }
            if (s[i] != '#')
                return end; // the first statement
            if (isDirective(s, i, "extension"))
                end = next;
            break;
        }
        at = next;
    }
    return end;
}

} // namespace

std::string ShaderStage::toEs300(const std::string& source)
{
    const std::string version = "#version 300 es\n";
    const std::string precisions = "precision highp float;\nprecision highp int;\nprecision highp sampler2D;\n";
    const size_t bom = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t first = skipBlanksAndComments(source, bom);
    // The text kept: all of it without a #version directive, else what
    // follows the directive's line.
    size_t body = bom;
    if (first < source.size() && source[first] == '#' && isDirective(source, first, "version")) {
        const size_t lineEnd = source.find('\n', first);
        if (lineEnd == std::string::npos)
            return version + precisions;
        body = lineEnd + 1;
    }
    const int bodyLine = 1 + linesIn(source, 0, body);
    std::string refusal;
    const std::string rest = constantUniforms(source.substr(body), bodyLine, refusal);
    std::string result = version;
    if (!refusal.empty())
        result += "#error " + refusal + "\n";
    const size_t extensions = extensionsEnd(rest);
    if (extensions > 0)
        result += "#line " + std::to_string(bodyLine) + "\n" + rest.substr(0, extensions);
    return result + precisions + "#line " + std::to_string(bodyLine + linesIn(rest, 0, extensions)) + "\n"
        + rest.substr(extensions);
}

std::string ShaderStage::constantUniforms(std::string source, int firstLine, std::string& refusal)
{
    refusal.clear();
    // The declaration being read: from the last ';', '{' or '}' outside
    // brackets to the next ';'.
    size_t uniform = std::string::npos; // its keyword "uniform", if any
    int depth = 0;                      // of brackets inside it
    int names = 1;                      // declared, one more per comma
    int initialized = 0;                // names done that had an initializer
    bool initializer = false;           // the current name has one
    const auto forget = [&] {
        uniform = std::string::npos;
        depth = 0;
        names = 1;
        initialized = 0;
        initializer = false;
    };
    bool lineStart = true;
    for (size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '\n')
            lineStart = true;
        if (isBlank(c))
            continue;
        if (c == '#' && lineStart) {
            // A directive, with its continued lines.
            while (i + 1 < source.size() && !(source[i + 1] == '\n' && source[i] != '\\'))
                ++i;
            continue;
        }
        lineStart = false;
        if (source.compare(i, 2, "//") == 0) {
            i = std::min(source.find('\n', i), source.size()) - 1;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = std::min(source.find("*/", i + 2), source.size()) + 1;
        } else if (c == ';' && depth == 0) {
            if (uniform != std::string::npos) {
                initialized += initializer ? 1 : 0;
                if (initialized == names)
                    source.replace(uniform, 7, "const  ");
                else if (initialized > 0 && refusal.empty())
                    refusal = "line " + std::to_string(firstLine + linesIn(source, 0, uniform))
                        + ": a uniform declaration gives some names an initializer and others none;"
                          " GLSL ES has no uniform initializers: declare those with one apart";
            }
            forget();
        } else if ((c == '{' || c == '}') && depth == 0 && !initializer) {
            forget();
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            depth = std::max(0, depth - 1);
        } else if (c == ',' && depth == 0) {
            initialized += initializer ? 1 : 0;
            initializer = false;
            ++names;
        } else if (c == '=' && depth == 0) {
            const bool comparison = (i > 0 && std::strchr("=<>!", source[i - 1]))
                || (i + 1 < source.size() && source[i + 1] == '=');
            initializer = initializer || !comparison;
        } else if (isWordByte(c)) {
            size_t end = i;
            while (end < source.size() && isWordByte(source[end]))
                ++end;
            if (depth == 0 && uniform == std::string::npos && source.compare(i, end - i, "uniform") == 0)
                uniform = i;
            i = end - 1;
        }
    }
    return source;
}

void ShaderStage::printInfoLog(GLuint object, int isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);

    std::string log(static_cast<size_t>(length) + 1, '\0');
    if (isProgram)
        glGetProgramInfoLog(object, length, nullptr, &log[0]);
    else
        glGetShaderInfoLog(object, length, nullptr, &log[0]);
    printf("%s\n", log.c_str());
}
