#pragma once
// Objects that can copy themselves from one another and take part in component streaming.
#include "platform/rtl/object.h"

#include <string>

class TFiler;
class TPropertyTable;

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }

    // Copies Source into this object; the base asks Source to AssignTo this and otherwise raises
    // EConvertError "Cannot assign a <Source class> to a <this class>".
    virtual void Assign(TPersistent* Source);
    // Dotted path of this object from its owning component (e.g. "Form1.Edit1.Font").
    virtual std::string GetNamePath() const;
    // The stored (published) properties of this object's class; nullptr when it has none.
    virtual const TPropertyTable* PublishedProperties() const { return nullptr; }
    // Declares data stored beside the published properties (e.g. a string list's "Strings").
    virtual void DefineProperties(TFiler& Filer);

protected:
    // Copies this object into Dest; the base raises EConvertError as Assign does.
    virtual void AssignTo(TPersistent* Dest);
    // The object whose name path prefixes this one's.
    virtual TPersistent* GetOwner() const { return nullptr; }
};
