// wrang_reference.exe TYPELIB NOTES OUTPUT
// Writes the member reference (Markdown) from what the built type library itself says: classes,
// whether a client can create them, ProgIDs, every member with its kind, parameters, defaults,
// result, DISPID and help string, and the enumeration. What a type library cannot say (the errors a
// member can raise, an example) comes from the hand-kept notes table NOTES, keyed by
// "class.member". A member without notes, or notes for a member that does not exist, is written as
// such and makes the program exit with status 2, so that the reference test fails on either.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "frame/Resource.h"

namespace {

using wrang::ComPtr;
using wrang::UniqueBstr;

std::string Narrow(const wchar_t* text) {
    if (!text || !*text) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text) {
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(chars > 0 ? chars - 1 : 0), L'\0');
    if (chars > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), chars);
    return out;
}

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

// Releases what GetTypeAttr, GetFuncDesc and GetVarDesc hand out, with the type info that gave it.
struct TypeAttr {
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) {
        if (FAILED(info->GetTypeAttr(&attr))) attr = nullptr;
    }
    ~TypeAttr() {
        if (attr) info->ReleaseTypeAttr(attr);
    }
};
struct FuncDesc {
    ITypeInfo* info;
    FUNCDESC* desc = nullptr;
    FuncDesc(ITypeInfo* i, UINT index) : info(i) {
        if (FAILED(info->GetFuncDesc(index, &desc))) desc = nullptr;
    }
    ~FuncDesc() {
        if (desc) info->ReleaseFuncDesc(desc);
    }
};
struct VarDesc {
    ITypeInfo* info;
    VARDESC* desc = nullptr;
    VarDesc(ITypeInfo* i, UINT index) : info(i) {
        if (FAILED(info->GetVarDesc(index, &desc))) desc = nullptr;
    }
    ~VarDesc() {
        if (desc) info->ReleaseVarDesc(desc);
    }
};

struct Documentation {
    std::string name;
    std::string help;
};

Documentation DocumentationOf(ITypeInfo* info, MEMBERID member) {
    UniqueBstr name, help;
    Documentation doc;
    if (SUCCEEDED(info->GetDocumentation(member, name.put(), help.put(), nullptr, nullptr))) {
        doc.name = Narrow(name.get());
        doc.help = Narrow(help.get());
    }
    return doc;
}

struct Notes {
    std::string errors;
    std::string example;
};

// One line per member: "class.member | errors | example"; '#' starts a comment line.
bool ReadNotes(const char* path, std::map<std::string, Notes>* notes) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const size_t first = line.find('|');
        const size_t second = first == std::string::npos ? first : line.find('|', first + 1);
        if (second == std::string::npos) {
            std::fprintf(stderr, "notes: line without two '|': %s\n", line.c_str());
            return false;
        }
        (*notes)[Trim(line.substr(0, first))] = {Trim(line.substr(first + 1, second - first - 1)),
                                                 Trim(line.substr(second + 1))};
    }
    return true;
}

class Generator {
public:
    explicit Generator(ITypeLib* library) : m_library(library) {}

    bool Load() {
        const UINT count = m_library->GetTypeInfoCount();
        for (UINT i = 0; i < count; ++i) {
            ComPtr<ITypeInfo> info;
            if (FAILED(m_library->GetTypeInfo(i, info.put()))) return false;
            TypeAttr attr(info.get());
            if (!attr.attr) return false;
            if (attr.attr->typekind == TKIND_COCLASS) {
                HREFTYPE ref = 0;
                ComPtr<ITypeInfo> defaultInterface;
                if (FAILED(info->GetRefTypeOfImplType(0, &ref)) ||
                    FAILED(info->GetRefTypeInfo(ref, defaultInterface.put()))) {
                    return false;
                }
                const std::string interfaceName = DocumentationOf(defaultInterface.get(), MEMBERID_NIL).name;
                const std::string className = DocumentationOf(info.get(), MEMBERID_NIL).name;
                m_classOfInterface[interfaceName] = className;
                m_classes.push_back({info, defaultInterface, (attr.attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0});
            } else if (attr.attr->typekind == TKIND_ENUM) {
                m_enums.push_back(info);
            }
        }
        return true;
    }

    std::string Write(const std::map<std::string, Notes>& notes, std::set<std::string>* missing,
                      std::set<std::string>* used) {
        std::ostringstream out;
        UniqueBstr name, help;
        m_library->GetDocumentation(-1, name.put(), help.put(), nullptr, nullptr);
        TLIBATTR* libAttr = nullptr;
        std::string version;
        if (SUCCEEDED(m_library->GetLibAttr(&libAttr))) {
            version = std::to_string(libAttr->wMajorVerNum) + "." + std::to_string(libAttr->wMinorVerNum);
            m_library->ReleaseTLibAttr(libAttr);
        }
        out << "# Reference of the type library " << Narrow(name.get()) << " " << version << "\n\n"
            << "<!-- Generated by docs/generator from the built type library and docs/generator/notes.txt;\n"
            << "     do not edit by hand: change the notes or the IDL and rebuild the target `reference`. -->\n\n"
            << Narrow(help.get()) << ".\n\n"
            << "Types: Long is a 32-bit signed integer (also every window and menu handle), String an\n"
            << "automation string, Boolean the automation Boolean (True -1, False 0), Object any automation\n"
            << "object; a class name stands for a reference to that class. \"by reference\" marks an\n"
            << "argument the member may write back. Errors are the numbers a script sees in `Err.Number`.\n\n";
        out << "## Classes\n\n| Class | Created by | ProgID | Description |\n|---|---|---|---|\n";
        for (const Class& cls : m_classes) {
            const Documentation doc = DocumentationOf(cls.coclass.get(), MEMBERID_NIL);
            out << "| [" << doc.name << "](#" << Anchor(doc.name) << ") | "
                << (cls.creatable ? "clients (`CreateObject`)" : "other members only") << " | "
                << (cls.creatable ? "`" + Narrow(name.get()) + "." + doc.name + "`" : std::string("none"))
                << " | " << doc.help << " |\n";
        }
        out << "\n";
        for (const Class& cls : m_classes) WriteClass(out, cls, notes, missing, used);
        for (const auto& info : m_enums) WriteEnum(out, info.get());
        return out.str();
    }

private:
    struct Class {
        ComPtr<ITypeInfo> coclass;
        ComPtr<ITypeInfo> defaultInterface;
        bool creatable;
    };

    static std::string Anchor(const std::string& name) {
        std::string anchor;
        for (char c : name) anchor += static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return anchor;
    }

    // The vtable half of a dual interface describes every member with its real parameter list.
    static ComPtr<ITypeInfo> VtableOf(ITypeInfo* info) {
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> vtable;
        TypeAttr attr(info);
        if (attr.attr && attr.attr->typekind == TKIND_DISPATCH && SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
            SUCCEEDED(info->GetRefTypeInfo(ref, vtable.put()))) {
            return vtable;
        }
        return ComPtr<ITypeInfo>(info);
    }

    std::string TypeName(ITypeInfo* info, const TYPEDESC& type) {
        switch (type.vt) {
        case VT_I4: return "Long";
        case VT_I2: return "Integer";
        case VT_BSTR: return "String";
        case VT_BOOL: return "Boolean";
        case VT_DISPATCH: return "Object";
        case VT_VARIANT: return "Variant";
        case VT_PTR: return TypeName(info, *type.lptdesc);
        case VT_USERDEFINED: {
            ComPtr<ITypeInfo> referenced;
            if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.put()))) return "?";
            const std::string name = DocumentationOf(referenced.get(), MEMBERID_NIL).name;
            const auto cls = m_classOfInterface.find(name);
            return cls == m_classOfInterface.end() ? name : cls->second;
        }
        default: return "VT " + std::to_string(type.vt);
        }
    }

    static std::string DefaultText(const VARIANT& value, const std::string& type) {
        VARIANT text;
        VariantInit(&text);
        std::string result;
        if (value.vt == VT_BSTR) {
            result = "\"" + Narrow(value.bstrVal) + "\"";
        } else if (type == "Boolean") {
            VARIANT number;
            VariantInit(&number);
            if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I4)))
                result = number.lVal ? "True" : "False";
        } else if (SUCCEEDED(VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR))) {
            result = Narrow(text.bstrVal);
        }
        VariantClear(&text);
        return result;
    }

    static const char* KindOf(INVOKEKIND kind) {
        switch (kind) {
        case INVOKE_PROPERTYGET: return "property get";
        case INVOKE_PROPERTYPUT: return "property let";
        case INVOKE_PROPERTYPUTREF: return "property set";
        default: return "method";
        }
    }

    struct Operation {
        std::string kind, parameters, result, dispid, help;
    };

    void WriteClass(std::ostringstream& out, const Class& cls, const std::map<std::string, Notes>& notes,
                    std::set<std::string>* missing, std::set<std::string>* used) {
        const Documentation classDoc = DocumentationOf(cls.coclass.get(), MEMBERID_NIL);
        const Documentation interfaceDoc = DocumentationOf(cls.defaultInterface.get(), MEMBERID_NIL);
        out << "## " << classDoc.name << "\n\n" << classDoc.help << ".\n\n";
        if (cls.creatable) {
            out << "Clients create it: `CreateObject(\"Wrang." << classDoc.name << "\")`.";
        } else {
            out << "Clients cannot create it; other members hand it out.";
        }
        out << " Interface `" << interfaceDoc.name << "` (dual).\n\n";

        ComPtr<ITypeInfo> vtable = VtableOf(cls.defaultInterface.get());
        TypeAttr attr(vtable.get());
        if (!attr.attr) return;
        std::vector<std::string> order;
        std::map<std::string, std::vector<Operation>> members;
        for (UINT f = 0; f < attr.attr->cFuncs; ++f) {
            FuncDesc func(vtable.get(), f);
            if (!func.desc) continue;
            std::vector<UniqueBstr> names(static_cast<size_t>(func.desc->cParams) + 1);
            std::vector<BSTR> raw(names.size(), nullptr);
            UINT got = 0;
            vtable->GetNames(func.desc->memid, raw.data(), static_cast<UINT>(raw.size()), &got);
            for (size_t i = 0; i < raw.size(); ++i) names[i].reset(raw[i]);
            const Documentation doc = DocumentationOf(vtable.get(), func.desc->memid);
            Operation op;
            op.kind = KindOf(func.desc->invkind);
            op.dispid = Hex(static_cast<unsigned long>(func.desc->memid));
            op.help = doc.help;
            op.result = "none";
            std::string parameters;
            for (SHORT p = 0; p < func.desc->cParams; ++p) {
                const ELEMDESC& element = func.desc->lprgelemdescParam[p];
                const USHORT flags = element.paramdesc.wParamFlags;
                const std::string type = TypeName(vtable.get(), element.tdesc);
                if (flags & PARAMFLAG_FRETVAL) {
                    op.result = type;
                    continue;
                }
                // A property's get and let share a DISPID, and GetNames answers with the get's names:
                // the assigned value of a let or set has no name of its own there.
                const bool assigned = func.desc->invkind == INVOKE_PROPERTYPUT || func.desc->invkind == INVOKE_PROPERTYPUTREF;
                std::string name = !assigned && static_cast<UINT>(p + 1) < got
                                       ? Narrow(names[static_cast<size_t>(p) + 1].get())
                                       : "";
                if (name.empty()) name = "value";
                std::string text = name + ": " + type;
                if (flags & PARAMFLAG_FOUT) text += " by reference";
                if (flags & PARAMFLAG_FOPT) {
                    text = "optional " + text;
                    if ((flags & PARAMFLAG_FHASDEFAULT) && element.paramdesc.pparamdescex)
                        text += " = " + DefaultText(element.paramdesc.pparamdescex->varDefaultValue, type);
                }
                parameters += (parameters.empty() ? "" : ", ") + text;
            }
            op.parameters = parameters.empty() ? "none" : parameters;
            if (!members.count(doc.name)) order.push_back(doc.name);
            members[doc.name].push_back(op);
        }

        out << "| Member | Kind | Parameters | Result | DISPID |\n|---|---|---|---|---|\n";
        for (const std::string& member : order) {
            for (const Operation& op : members[member]) {
                out << "| [" << member << "](#" << Anchor(classDoc.name + member) << ") | " << op.kind << " | "
                    << op.parameters << " | " << op.result << " | " << op.dispid << " |\n";
            }
        }
        out << "\n";
        for (const std::string& member : order) {
            const std::string key = classDoc.name + "." + member;
            out << "### <a id=\"" << Anchor(classDoc.name + member) << "\"></a>" << key << "\n\n";
            std::string help;
            for (const Operation& op : members[member]) {
                out << "- " << op.kind << " (" << op.parameters << ")"
                    << (op.result == "none" ? std::string() : " As " + op.result) << ", DISPID " << op.dispid << "\n";
                if (help.empty()) help = op.help;
            }
            out << "\n" << help << ".\n\n";
            const auto found = notes.find(key);
            if (found == notes.end()) {
                missing->insert(key);
                out << "**Errors and example: missing from docs/generator/notes.txt.**\n\n";
                continue;
            }
            used->insert(key);
            std::string errors = found->second.errors;
            if (!errors.empty() && errors.back() != '.') errors += '.';
            out << "Errors: " << errors << "\n\n"
                << "Example: `" << found->second.example << "`\n\n";
        }
    }

    void WriteEnum(std::ostringstream& out, ITypeInfo* info) {
        const Documentation doc = DocumentationOf(info, MEMBERID_NIL);
        out << "## Enumeration " << doc.name << "\n\n" << doc.help << ".\n\n| Name | Value |\n|---|---|\n";
        TypeAttr attr(info);
        if (!attr.attr) return;
        for (UINT v = 0; v < attr.attr->cVars; ++v) {
            VarDesc var(info, v);
            if (!var.desc || var.desc->varkind != VAR_CONST || !var.desc->lpvarValue) continue;
            VARIANT number;
            VariantInit(&number);
            VariantChangeType(&number, var.desc->lpvarValue, 0, VT_I4);
            out << "| `" << DocumentationOf(info, var.desc->memid).name << "` | " << number.lVal << " |\n";
        }
        out << "\n";
    }

    ITypeLib* m_library;
    std::vector<Class> m_classes;
    std::vector<ComPtr<ITypeInfo>> m_enums;
    std::map<std::string, std::string> m_classOfInterface;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: wrang_reference TYPELIB NOTES OUTPUT\n");
        return 1;
    }
    ComPtr<ITypeLib> library;
    const HRESULT loaded = LoadTypeLibEx(Wide(argv[1]).c_str(), REGKIND_NONE, library.put());
    if (FAILED(loaded)) {
        std::fprintf(stderr, "cannot load the type library %s (0x%08lX)\n", argv[1], static_cast<unsigned long>(loaded));
        return 1;
    }
    std::map<std::string, Notes> notes;
    if (!ReadNotes(argv[2], &notes)) {
        std::fprintf(stderr, "cannot read the notes table %s\n", argv[2]);
        return 1;
    }
    Generator generator(library.get());
    if (!generator.Load()) {
        std::fprintf(stderr, "cannot read the classes of %s\n", argv[1]);
        return 1;
    }
    std::set<std::string> missing, used;
    const std::string text = generator.Write(notes, &missing, &used);
    std::ofstream out(argv[3], std::ios::binary);
    out << text;
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    int status = 0;
    for (const std::string& key : missing) {
        std::fprintf(stderr, "no notes for %s\n", key.c_str());
        status = 2;
    }
    for (const auto& entry : notes) {
        if (!used.count(entry.first)) {
            std::fprintf(stderr, "notes for %s, which the type library does not have\n", entry.first.c_str());
            status = 2;
        }
    }
    return status;
}
