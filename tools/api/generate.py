#!/usr/bin/env python3
"""Generates the script modules' reference (docs/modules.md) and the generated
region of the editor definitions (types/tarnwick.lua) from the binding sources.

SWIG itself reads every interface under src/ that declares a %module (with all
the headers it %includes) and dumps its parse tree as XML; the members, their
parameter names, types and results come from there, so a function added to a
binding shows up here without any hand edit. Prose comes from descriptions.txt
beside this file; a member without prose is listed all the same.

  generate.py --write   rewrites docs/modules.md and the generated region of
                        types/tarnwick.lua in the source tree
  generate.py --check   exits 1, naming what differs, when either is stale

Options: --source DIR (the repository; default: two folders up from here),
--swig PATH (default: swig on the PATH).
"""
import argparse
import difflib
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
# Modules in the order the reference presents them; others follow by name.
MODULE_ORDER = ["graphics", "resources", "audio", "app", "bodies", "saves", "log", "tilemaps",
                "facebook", "gpgutils"]
BEGIN_MARK = "-- BEGIN GENERATED MODULES (tools/api/generate.py; do not edit by hand)"
END_MARK = "-- END GENERATED MODULES"
BOX = "tarnwick.box"
INTEGRAL = {"int", "unsigned int", "size_t", "short", "unsigned short", "long", "unsigned long",
            "unsigned char", "signed char", "long long", "unsigned long long"}
FLOATING = {"float", "double"}
UNSIGNED = {"unsigned int", "size_t", "unsigned short", "unsigned long", "unsigned char",
            "unsigned long long"}


# ---- SWIG's parse tree -----------------------------------------------------

def attributes(node):
    found = node.find("attributelist")
    if found is None:
        return {}
    return {a.get("name"): a.get("value") for a in found.findall("attribute")}


def parameters(node):
    found = node.find("attributelist/parmlist")
    if found is None:
        return []
    # SWIG binds no variadic tail ("v(...)"): scripts cannot pass it.
    return [a for a in (attributes(p) for p in found.findall("parm"))
            if not a.get("type", "").startswith("v(")]


def c_type(swig_type):
    """SWIG's type encoding ('p.q(const).char') as C text ('char const *'),
    the way argument errors name it."""
    parts = []
    rest = swig_type
    while True:
        match = re.match(r"(p\.|r\.|q\([^)]*\)\.|a\([^)]*\)\.)", rest)
        if not match:
            break
        parts.append(match.group(1))
        rest = rest[len(match.group(1)):]
    text = rest.replace("<(", "< ").replace(")>", " >")
    for part in reversed(parts):
        if part == "p.":
            text += " *"
        elif part == "r.":
            text += " &"
        elif part.startswith("q("):
            text += " " + part[2:-2]
        else:
            text += " [" + part[2:-2] + "]"
    return text


def result_type(attrs):
    """The C result type of a function: its type plus the pointer or reference
    part that follows the parameter list in its declarator."""
    decl = attrs.get("decl", "")
    start = decl.find("f(")
    tail = decl
    if start >= 0:
        depth = 0
        for index in range(start + 1, len(decl)):
            depth += {"(": 1, ")": -1}.get(decl[index], 0)
            if depth == 0:
                tail = decl[index + 2:]
                break
    return c_type(tail + attrs.get("type", "void"))


def bare(ctext):
    """'resources::Sprite const &' -> 'resources::Sprite'."""
    return re.sub(r"\s*(const|\*|&|\[\d*\])\s*", " ", ctext).strip()


class Member:
    def __init__(self, kind, lua_name, attrs, params):
        self.kind = kind              # function, variable, constant, class
        self.lua_name = lua_name
        self.attrs = attrs
        self.params = params          # one list of parameters per prototype
        self.cname = attrs.get("name", lua_name)
        self.prototypes = [attrs]
        self.fields = []              # classes: member variables
        self.methods = []             # classes: member functions
        self.constructors = []        # classes: one attribute set per prototype


def read_module(xml_path):
    root = ET.parse(xml_path).getroot()
    name = attributes(root.find(".//module")).get("name")
    members = []
    by_name = {}

    # Functions and variables come from the project's interfaces only, not from
    # SWIG's library files; classes (the library's std::string included) from all.
    def walk(node, in_library):
        for child in node:
            if child.tag == "attributelist":
                continue
            attrs = attributes(child)
            if child.tag == "include":
                walk(child, in_library or "/swig" in attrs.get("name", ""))
                continue
            if child.tag == "class" and attrs.get("sym_name"):
                add_class(child, attrs)
                continue
            if not in_library:
                # A typedef is a name for the C++ side only; scripts never see it.
                if child.tag == "cdecl" and attrs.get("lua_name") and not attrs.get("ismember") \
                        and attrs.get("kind") != "typedef":
                    add_plain(attrs, parameters(child))
                elif child.tag == "constant" and attrs.get("sym_name"):
                    member = Member("constant", attrs["sym_name"], attrs, [])
                    members.append(member)
            walk(child, in_library)

    def add_plain(attrs, params):
        kind = attrs.get("kind")
        lua_name = attrs["lua_name"]
        if kind == "function" and lua_name in by_name:
            by_name[lua_name].prototypes.append(attrs)
            by_name[lua_name].params.append(params)
            return
        member = Member("function" if kind == "function" else "variable", lua_name, attrs,
                        [params])
        members.append(member)
        by_name[lua_name] = member

    def add_class(node, attrs):
        member = Member("class", attrs["sym_name"], attrs, [])
        member.cname = attrs.get("name")
        for child in node:
            child_attrs = attributes(child)
            if child.tag == "constructor" and not child_attrs.get("feature_ignore"):
                member.constructors.append((child_attrs, parameters(child)))
            elif child.tag == "cdecl" and child_attrs.get("lua_name") and \
                    child_attrs.get("access", "public") == "public":
                if child_attrs.get("kind") == "function":
                    member.methods.append((child_attrs, parameters(child)))
                else:
                    member.fields.append(child_attrs)
        if not any(m.kind == "class" and m.lua_name == member.lua_name for m in members):
            members.append(member)

    walk(root, False)
    return name, members


def dump_modules(swig, source):
    """Runs SWIG on every module interface under src/ and reads its tree."""
    interfaces = []
    for folder, _, files in os.walk(os.path.join(source, "src")):
        for file in sorted(files):
            if file.endswith(".i"):
                path = os.path.join(folder, file)
                with open(path, encoding="utf-8") as text:
                    if re.search(r"^\s*%module\b", text.read(), re.M):
                        interfaces.append(path)
    modules = {}
    with tempfile.TemporaryDirectory() as scratch:
        for path in sorted(interfaces):
            stem = os.path.splitext(os.path.basename(path))[0]
            xml_path = os.path.join(scratch, stem + ".xml")
            subprocess.run([swig, "-lua", "-c++", "-I" + os.path.join(source, "src"),
                            "-xmlout", xml_path, "-o", os.path.join(scratch, stem + "_wrap.cxx"),
                            path], check=True)
            name, members = read_module(xml_path)
            modules[name] = members
    order = [m for m in MODULE_ORDER if m in modules] + \
            sorted(m for m in modules if m not in MODULE_ORDER)
    return [(m, modules[m]) for m in order]


# ---- Script-side types -----------------------------------------------------

class Types:
    """Maps C types to the names scripts and the definitions file use."""

    def __init__(self, modules):
        self.classes = {}
        for module, members in modules:
            for member in members:
                if member.kind == "class":
                    self.classes[member.cname] = module + "." + member.lua_name

    def argument(self, param):
        """(annotation, words for the reference, refuses nil) for a parameter."""
        ctext = c_type(param.get("type", ""))
        base = bare(ctext)
        check = param.get("tmap_in_checkfn")
        pointer = ctext.endswith("*")
        nonnull = "|| !arg" in param.get("tmap_in", "")
        if check == "audiooptions::isTableOrNil":
            return "table?", "table of options, nil, or left out"
        if check == "lua_istable":
            return "table", "table (a node)"
        if (pointer and base != "char" and base not in self.classes) or ctext.endswith("]"):
            base = ctext  # an address, whatever it points at
        if base in INTEGRAL:
            words = "integer, not negative" if base in UNSIGNED else "integer (truncated)"
            return "integer", words
        if base in FLOATING:
            return "number", "number"
        if base == "bool":
            return "boolean", "boolean (numbers and nil are refused)"
        if base in ("char",) and not pointer:
            return "string", "string, its first character"
        if base in ("char",) and pointer:
            if check == "SWIG_lua_isnilstring":
                return "string?", "string or nil"
            return "string", "string (a number is taken as its text)"
        if base == "std::string":
            if check in (None, "lua_isstring"):
                return "string", "string (a number is taken as its text)"
            return self.classes.get(base, BOX), "`string` object (`resources.string(text)`)"
        if base in self.classes:
            lua = self.classes[base]
            if pointer and not nonnull:
                return lua + "?", "`%s` object or nil" % lua
            return lua, "`%s` object" % lua
        if pointer and not nonnull:
            return BOX + "?", "box of `%s`, or nil" % ctext
        return BOX, "box of `%s`" % ctext

    def result(self, attrs):
        """(annotation, words) for a function's or getter's result; None for none."""
        ctext = result_type(attrs)
        base = bare(ctext)
        out = attrs.get("tmap_out", "")
        if base == "void" and not ctext.endswith("*"):
            return None
        if "SWIG_arg += " in out:
            return "any", "see the description"
        if base == "char" and ctext.endswith("*"):
            return "string?", "string, or nil when there is none"
        if ctext.endswith("*") or ctext.endswith("]"):
            base = ctext if base not in self.classes else base
        if base in INTEGRAL:
            return "integer", "integer"
        if base in FLOATING:
            return "number", "number"
        if base == "bool":
            return "boolean", "boolean"
        if base == "char" and ctext.endswith("*"):
            return "string?", "string, or nil when there is none"
        if "lua_pushnil" in out and "lua_pushlstring" in out:
            return "string?", "string, or nil when there is none"
        if "lua_createtable" in out and "lua_pushlstring" in out:
            return "string[]", "list of strings"
        if base == "std::string":
            if "lua_pushlstring" in out or "lua_pushstring" in out:
                return "string", "string"
            return self.classes.get(base, BOX), "a new `resources.string` object owning a copy"
        if base in self.classes:
            lua = self.classes[base]
            if ctext.endswith("*"):
                return lua + "?", "`%s` object that does not own the record, or nil" % lua
            return lua, "`%s` object owning a copy" % lua
        if "pushValueBox" in out:
            return BOX, "box holding the `%s` value" % base
        if "pushTable" in out:  # a typemap that builds plain Lua tables
            return "table", "table"
        if ctext.endswith("*"):
            return BOX + "?", "box of `%s`, or nil" % ctext
        return BOX, "box of `%s`" % ctext


def output_params(types, params):
    """(name, annotation, words) for each parameter that hands a value back as a
    further result (SWIG's OUTPUT typemaps) instead of taking an argument."""
    found = []
    for param in params:
        if param.get("tmap_argout") and param.get("tmap_in_numinputs") == "0":
            annotation, words = types.result({"type": bare(c_type(param.get("type", "")))})
            found.append((param.get("name") or "result", annotation, words))
    return found


def script_params(params):
    return [p for p in params if p.get("tmap_in_numinputs") != "0" and
            not (p.get("type") == "p.lua_State")]


def qualified(member, attrs):
    return attrs.get("name", member.lua_name)


def error_lines(member, params, attrs):
    """The argument errors a call can raise, with K and T standing for the
    argument's position and its type as the parameter table names it."""
    name = qualified(member, attrs)
    shown = script_params(params)
    required = [p for p in shown if not p.get("tmap_default")]
    found = ["`Error in %s expected %d..%d args, got N` (wrong number of arguments)" %
             (name, len(required), len(shown))]
    if shown:
        found.append("`Error in %s (arg K), expected 'T' got 'TYPE'` (argument K is not a T)"
                     % name)
    if any(p.get("tmap_in_checkfn") == "audiooptions::isTableOrNil" for p in shown):
        found.append("`option NAME must be WHAT, got TYPE` (an option of the wrong type)")
    if any(bare(c_type(p.get("type", ""))) in UNSIGNED for p in shown):
        found.append("`number must not be negative`")
    return found


# ---- Descriptions ------------------------------------------------------------

def read_descriptions(path):
    """Blocks of 'name' followed by indented lines; a 'returns: text' line and
    the lines after it in its block are the result's description."""
    found = {}
    current = None
    with open(path, encoding="utf-8") as text:
        for line in text:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if not line[0].isspace():
                current = line.strip()
                found[current] = {"text": [], "returns": None}
            elif current is not None:
                stripped = line.strip()
                entry = found[current]
                if stripped.startswith("returns:"):
                    entry["returns"] = stripped[len("returns:"):].strip()
                elif entry["returns"] is not None:
                    entry["returns"] += " " + stripped
                else:
                    entry["text"].append(stripped)
    return found


def text_of(descriptions, key):
    entry = descriptions.get(key)
    return " ".join(entry["text"]) if entry and entry["text"] else ""


def returns_of(descriptions, key):
    entry = descriptions.get(key)
    return entry["returns"] if entry else None


# ---- docs/modules.md -----------------------------------------------------

def signature(module, member, params):
    names = [p.get("name") or "arg%d" % i for i, p in enumerate(script_params(params), 1)]
    return "%s.%s(%s)" % (module, member.lua_name, ", ".join(names))


def markdown(modules, types, descriptions):
    out = []
    out.append("# Modules reference")
    out.append("")
    out.append("<!-- Generated by tools/api/generate.py from the binding sources and "
               "tools/api/descriptions.txt. Do not edit by hand: run "
               "`cmake --build BUILD --target api-docs`. -->")
    out.append("")
    out.append(text_of(descriptions, "(intro)"))
    out.append("")
    for module, _ in modules:
        out.append("- [`%s`](#%s)" % (module, module))
    out.append("")
    out.append(text_of(descriptions, "(errors)"))
    out.append("")
    for module, members in modules:
        out.append("## %s" % module)
        out.append("")
        intro = text_of(descriptions, module)
        if intro:
            out.append(intro)
            out.append("")
        for member in members:
            key = module + "." + member.lua_name
            if member.kind == "function":
                function_section(out, module, member, types, descriptions, key)
            elif member.kind == "variable":
                annotation = types.result(member.attrs)
                out.append("### `%s` (variable)" % key)
                out.append("")
                out.append("Read: %s. Assigned: %s." % (
                    annotation[1] if annotation else "nothing",
                    types.argument({"type": member.attrs.get("decl", "") +
                                    member.attrs.get("type", ""),
                                    "tmap_in_checkfn": "SWIG_lua_isnilstring"
                                    if member.attrs.get("decl") == "p." and
                                    member.attrs.get("type") == "char" else None})[1]))
                add_description(out, descriptions, key)
            elif member.kind == "constant":
                out.append("### `%s` (constant)" % key)
                out.append("")
                add_description(out, descriptions, key)
        for member in members:
            if member.kind == "class":
                class_section(out, module, member, types, descriptions)
    return "\n".join(re.sub(r"\n{3,}", "\n\n", "\n".join(out)).split("\n")).rstrip() + "\n"


# A prose paragraph starts a sentence and ends one; a sentence cut between
# two paragraphs (the description and "Returns:") fails one of the two.
SENTENCE_START = re.compile(r"^[A-Z0-9`\"'*\[]")
SENTENCE_CUT = re.compile(r"[,;:(]\.$|\.\.$|[^.!?:]$")


def cut_sentences(reference):
    """Prose paragraphs of the generated reference that begin or end
    mid-sentence."""
    found = []
    for line in reference.split("\n"):
        if not line or line[0] in "#|-<" or line.startswith("    "):
            continue
        if not SENTENCE_START.match(line) or SENTENCE_CUT.search(line):
            found.append(line)
    return found


def add_description(out, descriptions, key):
    text = text_of(descriptions, key)
    out.append("")
    if text:
        out.append(text)
        out.append("")


def function_section(out, module, member, types, descriptions, key):
    out.append("### `%s`" % key)
    out.append("")
    for params in member.params:
        out.append("    " + signature(module, member, params))
    out.append("")
    text = text_of(descriptions, key)
    if text:
        out.append(text)
        out.append("")
    for attrs, params in zip(member.prototypes, member.params):
        shown = script_params(params)
        if shown:
            if len(member.params) > 1:
                out.append("With %d arguments:" % len(shown))
                out.append("")
            out.append("| parameter | takes | T in errors |")
            out.append("|---|---|---|")
            for index, param in enumerate(shown, 1):
                out.append("| `%s` | %s | `%s` |" % (param.get("name") or "arg%d" % index,
                                                     types.argument(param)[1],
                                                     c_type(param.get("type", ""))))
            out.append("")
    result = types.result(member.prototypes[0])
    described = returns_of(descriptions, key)
    results = ([result[1]] if result else []) + \
        ["`%s`: %s" % (name, words) for name, _, words in output_params(types, member.params[0])]
    returned = described or (", ".join(results) if results else "nothing")
    out.append("Returns: %s" % returned + ("" if returned.endswith(".") else "."))
    out.append("")
    if len(member.params) > 1:
        # As the generated wrapper prints them: every C parameter, outputs too.
        prototypes = ["%s(%s)" % (qualified(member, a),
                                  ",".join(c_type(p.get("type", "")) for p in ps))
                      for a, ps in zip(member.prototypes, member.params)]
        found = ["`Wrong arguments for overloaded function '%s'` followed by the prototypes "
                 "%s (no prototype fits)" % (member.lua_name,
                                             ", ".join("`%s`" % p for p in prototypes))]
        for attrs, params in zip(member.prototypes, member.params):
            found += [m for m in error_lines(member, params, attrs)[2:] if m not in found]
    else:
        found = error_lines(member, member.params[0], member.prototypes[0])
    out.append("Errors: " + "; ".join(found) + ".")
    out.append("")


def class_section(out, module, member, types, descriptions):
    key = module + "." + member.lua_name
    out.append("### `%s` (class)" % key)
    out.append("")
    for attrs, params in member.constructors or [({}, [])]:
        names = [p.get("name") or "arg" for p in params]
        out.append("    %s(%s)" % (key, ", ".join(names)))
    out.append("")
    text = text_of(descriptions, key)
    if text:
        out.append(text)
        out.append("")
    if member.fields or member.methods:
        out.append("| member | value |")
        out.append("|---|---|")
        for field in member.fields:
            result = types.result(field)
            words = result[1] if result else "?"
            extra = text_of(descriptions, key + "." + field["lua_name"])
            out.append("| `%s` | %s%s |" % (field["lua_name"], words,
                                             "; " + extra if extra else ""))
        for attrs, params in member.methods:
            result = types.result(attrs)
            names = ", ".join(p.get("name") or "text" for p in params)
            extra = text_of(descriptions, key + "." + attrs["lua_name"])
            out.append("| `:%s(%s)` | method; returns %s%s |" % (
                attrs["lua_name"], names, result[1] if result else "nothing",
                "; " + extra if extra else ""))
        out.append("")


# ---- types/tarnwick.lua ----------------------------------------------------

def comment_lines(text, width=88):
    lines, line = [], ""
    for word in text.split():
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = (line + " " + word).strip()
    if line:
        lines.append(line)
    return ["--- " + l for l in lines]


def lua_definitions(modules, types, descriptions):
    out = [BEGIN_MARK, ""]
    out.append("---An opaque value (a native pointer or handle) that only another module call")
    out.append("---hands out; scripts pass it on and cannot read it.")
    out.append("---@alias %s userdata" % BOX)
    out.append("")
    for module, members in modules:
        out.append("---@class %s" % module)
        for member in members:
            if member.kind in ("variable", "constant"):
                annotation = types.result(member.attrs) or ("integer", "")
                if member.kind == "constant":
                    annotation = ("integer", "")
                out.append("---@field %s %s" % (member.lua_name, annotation[0]))
        out.append("%s = {}" % module)
        out.append("")
        for member in members:
            key = module + "." + member.lua_name
            if member.kind == "function":
                first = True
                for attrs, params in zip(member.prototypes, member.params):
                    if not first:
                        continue
                    first = False
                    out.extend(comment_lines(text_of(descriptions, key)))
                    for other_attrs, other in list(zip(member.prototypes, member.params))[1:]:
                        out.append("---@overload " + fun_type(types, other, other_attrs))
                    for index, param in enumerate(script_params(params), 1):
                        out.append("---@param %s %s" % (param.get("name") or "arg%d" % index,
                                                        types.argument(param)[0]))
                    result = types.result(attrs)
                    if result:
                        out.append("---@return %s" % result[0])
                    for name, annotation, _ in output_params(types, params):
                        out.append("---@return %s %s" % (annotation, name))
                    names = [p.get("name") or "arg%d" % i
                             for i, p in enumerate(script_params(params), 1)]
                    out.append("function %s(%s) end" % (key, ", ".join(names)))
                    out.append("")
            elif member.kind == "class":
                out.extend(comment_lines(text_of(descriptions, key)))
                out.append("---@class %s" % key)
                for field in member.fields:
                    result = types.result(field)
                    out.append("---@field %s %s" % (field["lua_name"],
                                                    result[0] if result else "any"))
                for attrs, params in member.methods:
                    result = types.result(attrs)
                    args = ["self: %s" % key] + ["%s: %s" % (p.get("name") or "text",
                                                             types.argument(p)[0])
                                                 for p in params]
                    out.append("---@field %s fun(%s)%s" % (
                        attrs["lua_name"], ", ".join(args),
                        ": " + result[0] if result else ""))
                out.append("")
                constructors = member.constructors or [({}, [])]
                out.append("---Makes a new `%s` owned by the script." % member.lua_name)
                for attrs, params in constructors[1:]:
                    out.append("---@overload fun(%s): %s" % (", ".join(
                        "%s: %s" % (p.get("name") or "arg", ctor_arg(types, p))
                        for p in params), key))
                for param in constructors[0][1]:
                    out.append("---@param %s %s" % (param.get("name") or "arg",
                                                    ctor_arg(types, param)))
                out.append("---@return %s" % key)
                out.append("function %s(%s) end" % (key, ", ".join(
                    p.get("name") or "arg" for p in constructors[0][1])))
                out.append("")
    out.append(END_MARK)
    return "\n".join(out) + "\n"


def ctor_arg(types, param):
    ctext = c_type(param.get("type", ""))
    if bare(ctext) == "void":
        return "any"
    return types.argument(param)[0]


def fun_type(types, params, attrs):
    args = ", ".join("%s: %s" % (p.get("name") or "arg%d" % i, types.argument(p)[0])
                     for i, p in enumerate(script_params(params), 1))
    result = types.result(attrs)
    results = ([result[0]] if result else []) + \
        [annotation for _, annotation, _ in output_params(types, params)]
    return "fun(%s)%s" % (args, ": " + ", ".join(results) if results else "")


def merged_types_file(current, generated):
    if BEGIN_MARK not in current or END_MARK not in current:
        raise SystemExit("types/tarnwick.lua lacks the generated-region markers:\n  %s\n  %s" %
                         (BEGIN_MARK, END_MARK))
    head = current[:current.index(BEGIN_MARK)]
    tail = current[current.index(END_MARK) + len(END_MARK):].lstrip("\n")
    return head + generated + ("\n" + tail if tail else "")


# ---- Main ----------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--write", action="store_true")
    mode.add_argument("--check", action="store_true")
    parser.add_argument("--source", default=os.path.dirname(os.path.dirname(HERE)))
    parser.add_argument("--swig", default="swig")
    options = parser.parse_args()

    modules = dump_modules(options.swig, options.source)
    types = Types(modules)
    descriptions = read_descriptions(os.path.join(HERE, "descriptions.txt"))
    known = {"(intro)", "(errors)"}
    for module, members in modules:
        known.add(module)
        for member in members:
            known.add(module + "." + member.lua_name)
            for field in member.fields:
                known.add(module + "." + member.lua_name + "." + field["lua_name"])
            for attrs, _ in member.methods:
                known.add(module + "." + member.lua_name + "." + attrs["lua_name"])
    stray = sorted(set(descriptions) - known)
    if stray:
        sys.exit("tools/api/descriptions.txt describes members that no module has: " +
                 ", ".join(stray))

    reference_path = os.path.join(options.source, "docs", "modules.md")
    types_path = os.path.join(options.source, "types", "tarnwick.lua")
    with open(types_path, encoding="utf-8") as text:
        current_types = text.read()
    wanted = {
        reference_path: markdown(modules, types, descriptions),
        types_path: merged_types_file(current_types, lua_definitions(modules, types,
                                                                     descriptions)),
    }
    cut = cut_sentences(wanted[reference_path])
    if cut:
        sys.exit("Sentences cut in the generated reference (tools/api/descriptions.txt or "
                 "how it is read):\n  " + "\n  ".join(cut))
    stale = []
    for path, content in wanted.items():
        existing = ""
        if os.path.exists(path):
            with open(path, encoding="utf-8") as text:
                existing = text.read()
        if existing == content:
            continue
        if options.write:
            with open(path, "w", encoding="utf-8") as text:
                text.write(content)
            print("wrote " + os.path.relpath(path, options.source))
        else:
            stale.append(path)
            diff = difflib.unified_diff(existing.splitlines(), content.splitlines(),
                                        "committed", "generated", lineterm="", n=1)
            print("\n".join(list(diff)[:40]))
    if stale:
        print("Out of date with the binding sources: " +
              ", ".join(os.path.relpath(p, options.source) for p in stale) +
              "\nRegenerate with: cmake --build BUILD --target api-docs")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
