// A static control that shows a cover picture, scaled to the control or
// kept in proportion, with the cover menu (show, load, save, remove). The
// page that holds the control does the work behind the menu through
// ICoverOwner.
#pragma once

#include "app/OlePicture.h"
#include "classlib/Menu.h"
#include "classlib/Static.h"

// The cover operations of the window that holds a cover control.
class ICoverOwner {
public:
    virtual ~ICoverOwner() {}
    virtual bool HasCover() = 0;
    virtual void ShowCover() = 0;
    // A heap copy of the cover's type text ("jpg", ...) into *type, or NULL.
    virtual void GetCoverType(char** type) = 0;
    virtual bool LoadCover(const char* path) = 0;
    virtual bool SaveCover(const char* path) = 0;
    virtual bool RemoveCover() = 0;
};

class CCoverStatic : public CStatic {
public:
    // Starts with the default cover (GIF resource 217), or none.
    CCoverStatic();
    ~CCoverStatic() override;

    // Shows the picture without taking it over; the current one is deleted
    // when it was the control's own.
    void SetImage(COlePicture* picture);
    // Shows the picture in the bytes, or the default cover when there are
    // none or they are no picture. With fit, the control (and its parent by
    // the same amount) takes the picture's size, and the parent's caption
    // becomes "[<width>x<height>]".
    void SetImageAndSize(const BYTE* bytes, DWORD count, bool fit, bool keepAspect);
    // The cover menu at a point in screen coordinates.
    void ShowCoverMenu(POINT point, bool readOnly);
    // Enables the items of the cover menu's popup as the movie allows.
    static void EnableCoverMenu(HMENU popup, bool readOnly, bool hasCover);

    COlePicture* m_picture;  // NULL or empty: nothing to show
    BYTE m_ownsPicture;
    BYTE m_keepAspect;

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnShowCover();
    void OnLoadCover();
    void OnSaveCover();
    void OnRemoveCover();
    DECLARE_MESSAGE_MAP()

private:
    ICoverOwner* GetCoverOwner() const;
};
