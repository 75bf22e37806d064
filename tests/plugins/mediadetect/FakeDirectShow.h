// Stand-ins for the platform's media detector, its filter graph and the
// filter mapper, so the detector's own logic runs on media types of our
// choosing. Every object lives in the test, starts with the test's one
// reference and counts what it is given and handed back; format blocks are
// handed out from CoTaskMemAlloc and watched by a malloc spy until freed.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <qedit.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#define FAKE_UNKNOWN(Interface)                                                          \
    long refs = 1;                                                                       \
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }                  \
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }                 \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override            \
    {                                                                                    \
        if (iid == IID_IUnknown || iid == IID_##Interface) {                             \
            *out = static_cast<Interface*>(this);                                        \
            AddRef();                                                                    \
            return S_OK;                                                                 \
        }                                                                                \
        *out = NULL;                                                                     \
        return E_NOINTERFACE;                                                            \
    }
#define NOT_USED(...) \
    HRESULT STDMETHODCALLTYPE __VA_ARGS__ override { return E_NOTIMPL; }

// Format blocks handed out and not yet freed.
class BlockSpy : public IMallocSpy {
public:
    FAKE_UNKNOWN(IMallocSpy)
    std::set<void*> outstanding;
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cb) override { return cb; }
    void* STDMETHODCALLTYPE PostAlloc(void* p) override { return p; }
    void* STDMETHODCALLTYPE PreFree(void* p, BOOL) override
    {
        outstanding.erase(p);
        return p;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T cb, void** out, BOOL) override
    {
        *out = p;
        return cb;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override { return p; }
    void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cb, BOOL) override { return cb; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
};
extern BlockSpy theBlockSpy;

// A media type as the fakes hand it out.
struct FakeType {
    GUID major = GUID_NULL;
    GUID subtype = GUID_NULL;
    GUID format = GUID_NULL;
    std::vector<BYTE> block;
    void CopyTo(AM_MEDIA_TYPE* type) const
    {
        memset(type, 0, sizeof(*type));
        type->majortype = major;
        type->subtype = subtype;
        type->formattype = format;
        if (!block.empty()) {
            type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(block.size()));
            memcpy(type->pbFormat, block.data(), block.size());
            type->cbFormat = ULONG(block.size());
            theBlockSpy.outstanding.insert(type->pbFormat);
        }
    }
};

class FakeFilter;

class FakePin final : public IPin {
public:
    FAKE_UNKNOWN(IPin)
    FakePin(FakeFilter* owner, PIN_DIRECTION dir) : owner(owner), dir(dir) {}
    FakeFilter* owner;
    PIN_DIRECTION dir;
    FakeType type;
    bool hasType = true;
    FakePin* peer = NULL;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** out) override
    {
        *out = peer;
        if (peer == NULL)
            return VFW_E_NOT_CONNECTED;
        peer->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* out) override
    {
        if (!hasType)
            return VFW_E_NOT_CONNECTED;
        type.CopyTo(out);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    NOT_USED(Connect(IPin*, const AM_MEDIA_TYPE*))
    NOT_USED(ReceiveConnection(IPin*, const AM_MEDIA_TYPE*))
    NOT_USED(Disconnect())
    NOT_USED(QueryDirection(PIN_DIRECTION*))
    NOT_USED(QueryId(LPWSTR*))
    NOT_USED(QueryAccept(const AM_MEDIA_TYPE*))
    NOT_USED(EnumMediaTypes(IEnumMediaTypes**))
    NOT_USED(QueryInternalConnections(IPin**, ULONG*))
    NOT_USED(EndOfStream())
    NOT_USED(BeginFlush())
    NOT_USED(EndFlush())
    NOT_USED(NewSegment(REFERENCE_TIME, REFERENCE_TIME, double))
};

class FakeEnumPins final : public IEnumPins {
public:
    FAKE_UNKNOWN(IEnumPins)
    std::vector<FakePin*> pins;
    size_t next = 0;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** out, ULONG* fetched) override
    {
        if (count != 1 || next >= pins.size())
            return S_FALSE;
        out[0] = pins[next++];
        out[0]->AddRef();
        if (fetched != NULL)
            *fetched = 1;
        return S_OK;
    }
    NOT_USED(Skip(ULONG))
    NOT_USED(Reset())
    NOT_USED(Clone(IEnumPins**))
};

class FakeFilter : public IBaseFilter {
public:
    FAKE_UNKNOWN(IBaseFilter)
    ~FakeFilter()
    {
        for (FakePin* pin : pins)
            delete pin;
        for (FakeEnumPins* e : enums)
            delete e;
    }
    std::vector<FakePin*> pins;
    std::vector<FakeEnumPins*> enums;
    int walks = 0;
    FakePin* AddPin(PIN_DIRECTION dir)
    {
        pins.push_back(new FakePin(this, dir));
        return pins.back();
    }
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** out) override
    {
        walks++;
        enums.push_back(new FakeEnumPins);
        enums.back()->pins = pins;
        *out = enums.back();
        return S_OK;
    }
    NOT_USED(GetClassID(CLSID*))
    NOT_USED(Stop())
    NOT_USED(Pause())
    NOT_USED(Run(REFERENCE_TIME))
    NOT_USED(GetState(DWORD, FILTER_STATE*))
    NOT_USED(SetSyncSource(IReferenceClock*))
    NOT_USED(GetSyncSource(IReferenceClock**))
    NOT_USED(FindPin(LPCWSTR, IPin**))
    NOT_USED(QueryFilterInfo(FILTER_INFO*))
    NOT_USED(JoinFilterGraph(IFilterGraph*, LPCWSTR))
    NOT_USED(QueryVendorInfo(LPWSTR*))
};

inline HRESULT FakePin::QueryPinInfo(PIN_INFO* info)
{
    memset(info, 0, sizeof(*info));
    info->dir = dir;
    info->pFilter = owner;
    owner->AddRef();
    return S_OK;
}

// The detector: its streams, their lengths and the source filter.
class FakeMediaDet : public IMediaDet {
public:
    FAKE_UNKNOWN(IMediaDet)
    struct Stream {
        FakeType type;
        double seconds;
    };
    std::vector<Stream> streams;
    FakeFilter* source = NULL;
    HRESULT openResult = S_OK;
    std::wstring filename;
    long current = 0;
    HRESULT STDMETHODCALLTYPE put_Filename(BSTR name) override
    {
        filename = name;
        return openResult;
    }
    HRESULT STDMETHODCALLTYPE get_OutputStreams(long* count) override
    {
        *count = long(streams.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_CurrentStream(long index) override
    {
        current = index;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_StreamMediaType(AM_MEDIA_TYPE* type) override
    {
        streams[size_t(current)].type.CopyTo(type);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_StreamLength(double* seconds) override
    {
        *seconds = streams[size_t(current)].seconds;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Filter(IUnknown** out) override
    {
        *out = source;
        if (source == NULL)
            return E_FAIL;
        source->AddRef();
        return S_OK;
    }
    NOT_USED(put_Filter(IUnknown*))
    NOT_USED(get_CurrentStream(long*))
    NOT_USED(get_StreamType(GUID*))
    NOT_USED(get_StreamTypeB(BSTR*))
    NOT_USED(get_Filename(BSTR*))
    NOT_USED(GetBitmapBits(double, LONG*, char*, LONG, LONG))
    NOT_USED(WriteBitmapBits(double, LONG, LONG, BSTR))
    NOT_USED(GetSampleGrabber(ISampleGrabber**))
    NOT_USED(get_FrameRate(double*))
    NOT_USED(EnterBitmapGrabMode(double))
};

class FakePropertyBag : public IPropertyBag {
public:
    FAKE_UNKNOWN(IPropertyBag)
    std::wstring name;
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR property, VARIANT* value, IErrorLog*) override
    {
        if (wcscmp(property, L"FriendlyName") != 0)
            return E_INVALIDARG;
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(name.c_str());
        return S_OK;
    }
    NOT_USED(Write(LPCOLESTR, VARIANT*))
};

class FakeMoniker final : public IMoniker {
public:
    FAKE_UNKNOWN(IMoniker)
    FakePropertyBag bag;
    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** out) override
    {
        return bag.QueryInterface(iid, out);
    }
    NOT_USED(GetClassID(CLSID*))
    NOT_USED(IsDirty())
    NOT_USED(Load(IStream*))
    NOT_USED(Save(IStream*, BOOL))
    NOT_USED(GetSizeMax(ULARGE_INTEGER*))
    NOT_USED(BindToObject(IBindCtx*, IMoniker*, REFIID, void**))
    NOT_USED(Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**))
    NOT_USED(ComposeWith(IMoniker*, BOOL, IMoniker**))
    NOT_USED(Enum(BOOL, IEnumMoniker**))
    NOT_USED(IsEqual(IMoniker*))
    NOT_USED(Hash(DWORD*))
    NOT_USED(IsRunning(IBindCtx*, IMoniker*, IMoniker*))
    NOT_USED(GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*))
    NOT_USED(Inverse(IMoniker**))
    NOT_USED(CommonPrefixWith(IMoniker*, IMoniker**))
    NOT_USED(RelativePathTo(IMoniker*, IMoniker**))
    NOT_USED(GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*))
    NOT_USED(ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**))
    NOT_USED(IsSystemMoniker(DWORD*))
};

class FakeEnumMoniker final : public IEnumMoniker {
public:
    FAKE_UNKNOWN(IEnumMoniker)
    FakeMoniker* moniker = NULL;
    HRESULT STDMETHODCALLTYPE Next(ULONG, IMoniker** out, ULONG* fetched) override
    {
        if (moniker == NULL)
            return S_FALSE;
        *out = moniker;
        moniker->AddRef();
        moniker = NULL;
        if (fetched != NULL)
            *fetched = 1;
        return S_OK;
    }
    NOT_USED(Skip(ULONG))
    NOT_USED(Reset())
    NOT_USED(Clone(IEnumMoniker**))
};

// Filters by subtype FourCC: a known one has a friendly name.
class FakeMapper : public IFilterMapper2 {
public:
    FAKE_UNKNOWN(IFilterMapper2)
    ~FakeMapper()
    {
        for (FakeEnumMoniker* e : enums)
            delete e;
        for (FakeMoniker* m : monikers)
            delete m;
    }
    std::map<DWORD, std::wstring> names;
    bool fail = false;
    std::vector<FakeEnumMoniker*> enums;
    std::vector<FakeMoniker*> monikers;
    HRESULT STDMETHODCALLTYPE EnumMatchingFilters(IEnumMoniker** out, DWORD, BOOL exact, DWORD merit,
                                                  BOOL inputNeeded, DWORD count, const GUID* types,
                                                  const REGPINMEDIUM*, const CLSID*, BOOL, BOOL,
                                                  DWORD, const GUID*, const REGPINMEDIUM*,
                                                  const CLSID*) override
    {
        *out = NULL;
        if (fail || !exact || merit <= MERIT_DO_NOT_USE || !inputNeeded || count != 1)
            return E_FAIL;
        enums.push_back(new FakeEnumMoniker);
        auto known = names.find(types[1].Data1);
        if (known != names.end()) {
            monikers.push_back(new FakeMoniker);
            monikers.back()->bag.name = known->second;
            enums.back()->moniker = monikers.back();
        }
        *out = enums.back();
        return S_OK;
    }
    NOT_USED(CreateCategory(REFCLSID, DWORD, LPCWSTR))
    NOT_USED(UnregisterFilter(const CLSID*, LPCOLESTR, REFCLSID))
    NOT_USED(RegisterFilter(REFCLSID, LPCWSTR, IMoniker**, const CLSID*, LPCOLESTR, const REGFILTER2*))
};
