// The OTX interfaces that values hand out by reference. The runtime around this library
// implements the diagnostic ones (messages, results, parameters, communication channels,
// ...); the library declares them as abstract classes and never calls their members. The
// interfaces that value types of this library implement are declared here and defined with
// their value type.
#pragma once

#include "KesmarExport.h"

namespace OTX {

// Implemented by value types of this library; defined in their own headers.
class IString;
class IException;
class IEventSource;
class IEvent;
class IByteField;
class IQuantity;
class IUnit;
class IFileHandle;
class IFileReadHandle;

// Declares an abstract interface that the surrounding runtime implements. The pure virtual
// destructor keeps the class abstract; it is defined in the library.
#define KESMAR_DECLARE_RUNTIME_INTERFACE(Name) \
  class KESMAR_API Name {                      \
   public:                                     \
    virtual ~Name() = 0;                       \
  }

// The interfaces of the surrounding runtime; the library only hands them out by reference
// (CKesmar::Message() and its kin, which throw TypeMismatchException on a library value).
KESMAR_DECLARE_RUNTIME_INTERFACE(IMessage);
KESMAR_DECLARE_RUNTIME_INTERFACE(IResult);
KESMAR_DECLARE_RUNTIME_INTERFACE(IResponse);
KESMAR_DECLARE_RUNTIME_INTERFACE(IParameter);
KESMAR_DECLARE_RUNTIME_INTERFACE(IRequest);
KESMAR_DECLARE_RUNTIME_INTERFACE(IParameterContainer);
KESMAR_DECLARE_RUNTIME_INTERFACE(IComChannel);
KESMAR_DECLARE_RUNTIME_INTERFACE(IDiagService);
KESMAR_DECLARE_RUNTIME_INTERFACE(IServiceProvider);
KESMAR_DECLARE_RUNTIME_INTERFACE(IServiceProviderService);
KESMAR_DECLARE_RUNTIME_INTERFACE(IFlashSession);
KESMAR_DECLARE_RUNTIME_INTERFACE(IComInterface);

#undef KESMAR_DECLARE_RUNTIME_INTERFACE

}  // namespace OTX
