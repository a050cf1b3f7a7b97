#pragma once
// The root classes: TObject (every platform object) and TPersistent (objects that copy their
// values from one another through Assign).

#include <functional>
#include <string>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class's own name, e.g. "TStringList" for a TStringList.
    std::string ClassName() const;
    bool ClassNameIs(const std::string& Name) const;
    template <typename T> bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Event handler without parameters beyond the sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    // Copies the values of Source into this object. The base asks Source to AssignTo this
    // object; a class that knows how to copy from Source overrides Assign and calls the base
    // for the rest. When nobody knows how, it raises EConvertError
    // "Cannot assign a <source class> to a <this class>" ("nil" for no source).
    virtual void Assign(const TPersistent* Source);
    virtual std::string GetNamePath() const { return ClassName(); }

protected:
    // Copies this object's values into Dest; the base refuses (AssignError).
    virtual void AssignTo(TPersistent* Dest) const;
    // Raises the assignment error for Source copied into this object.
    [[noreturn]] void AssignError(const TPersistent* Source) const;
    virtual TPersistent* GetOwner() const { return nullptr; }
};
