#include "setup/SetupDlg.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "classlib/WinApp.h"
#include "resources/setup_resource.h"
#include "setup/ZipContainer.h"
#include "setup/ZipException.h"
#include "setup/ZipPlatform.h"

namespace {

const uint8_t kLastPage = 3;
const uint32_t kExtractBuffer = 65535;

struct ProgressState {
    HWND bar;
    uint64_t before;  // bytes of the members already done
    uint64_t total;
};

bool OnExtractProgress(uint32_t, uint32_t done, void* userData)
{
    ProgressState* state = static_cast<ProgressState*>(userData);
    uint64_t percent = state->total == 0 ? 100 : (state->before + done) * 100 / state->total;
    ::SendMessage(state->bar, PBM_SETPOS, WPARAM(percent > 100 ? 100 : percent), 0);
    return true;
}

// A folder of the shell, or empty when there is none.
std::string SpecialFolder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr)
        return std::string();
    char path[MAX_PATH] = {};
    BOOL found = ::SHGetPathFromIDListA(list, path);
    ::CoTaskMemFree(list);
    return found ? std::string(path) : std::string();
}

std::string WithBackslash(std::string path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

} // namespace

std::string DefaultInstallFolder(const char* valueName)
{
    char buffer[270] = {};
    DWORD size = sizeof(buffer) - 1;
    std::string folder = "C:\\Program";
    if (::SHGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", valueName, nullptr,
                      buffer, &size) == ERROR_SUCCESS)
        folder = buffer;
    return WithBackslash(folder) + "vistrel";
}

bool MakeFolderPath(const std::string& folder)
{
    // Relative folders are made absolute, so the shortcuts find the program.
    char full[MAX_PATH * 2] = {};
    DWORD n = ::GetFullPathNameA(folder.c_str(), sizeof(full), full, nullptr);
    std::string path = n > 0 && n < sizeof(full) ? std::string(full) : folder;
    return ZipPlatform::ForceFolder(path) && ZipPlatform::FolderExists(path);
}

bool LoadResourceCopy(const char* name, const char* type, std::vector<uint8_t>& copy)
{
    HRSRC found = ::FindResourceA(nullptr, name, type);
    if (found == nullptr)
        return false;
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    DWORD size = ::SizeofResource(nullptr, found);
    if (data == nullptr)
        return false;
    copy.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    return true;
}

BEGIN_MESSAGE_MAP(CSetupDlg, CDialog)
    ON_BN_CLICKED(IDC_SETUP_NEXT, OnNext)
    ON_BN_CLICKED(IDC_SETUP_BACK, OnBack)
    ON_BN_CLICKED(IDC_SETUP_ACCEPT, OnAccept)
    ON_BN_CLICKED(IDC_SETUP_DECLINE, OnDecline)
    ON_EN_CHANGE(IDC_SETUP_FOLDER, OnFolderChange)
    ON_BN_CLICKED(IDC_SETUP_DESKTOP, OnDesktop)
    ON_BN_CLICKED(IDC_SETUP_START_MENU, OnStartMenu)
    ON_BN_CLICKED(IDC_SETUP_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CSetupDlg::CSetupDlg(CWnd* pParent)
    : CDialog(IDD_SETUP, pParent), m_installFolder(DefaultInstallFolder()), m_page(0), m_finished(false),
      m_accepted(false), m_declined(true), m_failed(false), m_desktopShortcut(true), m_startMenuShortcut(true),
      m_installing(false)
{
}

BOOL CSetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_SETUP_NOTICE, "");
    for (uint8_t page = 0; page <= kLastPage; page++)
        ShowPage(page, false);
    UpdateButtons();
    ShowPage(0, true);
    return TRUE;
}

void CSetupDlg::ShowPage(uint8_t page, bool show)
{
    static const int kPage0[] = {IDC_SETUP_NOTICE_LABEL, IDC_SETUP_NOTICE, IDC_SETUP_ACCEPT, IDC_SETUP_DECLINE, 0};
    static const int kPage1[] = {IDC_SETUP_FOLDER_LABEL, IDC_SETUP_FOLDER, IDC_SETUP_BROWSE, 0};
    static const int kPage2[] = {IDC_SETUP_DESKTOP, IDC_SETUP_START_MENU, 0};
    static const int kPage3[] = {IDC_SETUP_PROGRESS, IDC_SETUP_INSTALLING, 0};
    static const int* const kPages[] = {kPage0, kPage1, kPage2, kPage3};
    if (page > kLastPage)
        return;
    if (show && page == 1)
        SetDlgItemText(IDC_SETUP_FOLDER, m_installFolder.c_str());
    if (show && page == 2) {
        CheckDlgButton(IDC_SETUP_DESKTOP, m_desktopShortcut ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_SETUP_START_MENU, m_startMenuShortcut ? BST_CHECKED : BST_UNCHECKED);
    }
    for (const int* id = kPages[page]; *id != 0; id++)
        ::ShowWindow(::GetDlgItem(m_hWnd, *id), show ? SW_SHOW : SW_HIDE);
    if (!show && page == 3)
        m_failed = false;
    if (show && page == 3) {
        UpdateButtons();
        // Let the page draw before the installation holds the thread.
        MSG msg;
        while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
        Install();
    }
}

void CSetupDlg::UpdateButtons()
{
    CheckDlgButton(IDC_SETUP_ACCEPT, m_accepted ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SETUP_DECLINE, m_accepted ? BST_UNCHECKED : BST_CHECKED);
    HWND next = ::GetDlgItem(m_hWnd, IDC_SETUP_NEXT);
    ::SetWindowTextA(next, m_finished ? "Done" : m_page == 2 ? "Install" : "Next >>");
    ::ShowWindow(next, m_page < kLastPage || m_finished ? SW_SHOW : SW_HIDE);
    bool folderGiven = !m_installFolder.empty() || m_page == 0;
    ::EnableWindow(next, m_finished || (m_accepted && folderGiven && !m_installing));
    HWND back = ::GetDlgItem(m_hWnd, IDC_SETUP_BACK);
    ::SetWindowTextA(back, m_declined ? "Exit" : "<< Back");
    bool showBack = ((m_page < kLastPage || m_failed) && m_page > 0) || m_declined;
    ::ShowWindow(back, showBack ? SW_SHOW : SW_HIDE);
}

void CSetupDlg::OnNext()
{
    if (m_finished) {
        EndDialog(IDOK);
        return;
    }
    // Clicks queued while installing, or past the last page, do nothing.
    if (m_installing || m_page >= kLastPage || !m_accepted)
        return;
    ShowPage(m_page, false);
    m_page++;
    UpdateButtons();
    ShowPage(m_page, true);
    UpdateButtons();
}

void CSetupDlg::OnBack()
{
    if (m_declined) {
        EndDialog(IDCANCEL);
        return;
    }
    if (m_installing)
        return;
    if (m_page > 0) {
        ShowPage(m_page, false);
        m_page--;
        ShowPage(m_page, true);
    }
    UpdateButtons();
}

void CSetupDlg::OnAccept()
{
    m_accepted = true;
    m_declined = false;
    UpdateButtons();
}

void CSetupDlg::OnDecline()
{
    m_accepted = false;
    m_declined = true;
    UpdateButtons();
}

void CSetupDlg::OnFolderChange()
{
    m_installFolder = GetDlgItemText(IDC_SETUP_FOLDER);
    UpdateButtons();
}

void CSetupDlg::OnDesktop()
{
    m_desktopShortcut = IsDlgButtonChecked(IDC_SETUP_DESKTOP) == BST_CHECKED;
    UpdateButtons();
}

void CSetupDlg::OnStartMenu()
{
    m_startMenuShortcut = IsDlgButtonChecked(IDC_SETUP_START_MENU) == BST_CHECKED;
    UpdateButtons();
}

void CSetupDlg::OnBrowse()
{
    BROWSEINFOA info = {};
    info.hwndOwner = m_hWnd;
    info.lpszTitle = "Choose directory to install to:";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    LPITEMIDLIST list = ::SHBrowseForFolderA(&info);
    if (list == nullptr)
        return;
    char path[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(list, path)) {
        std::string folder = path;
        if (folder.find("vistrel") == std::string::npos)
            folder = WithBackslash(folder) + "vistrel";
        m_installFolder = folder;
        SetDlgItemText(IDC_SETUP_FOLDER, folder.c_str());
    }
    ::CoTaskMemFree(list);
}

void CSetupDlg::Fail(const char* text)
{
    AfxShowMessageBox(m_hWnd, text, "Error", MB_OK | MB_ICONSTOP);
    m_failed = true;
}

bool CSetupDlg::Install()
{
    m_installing = true;
    m_failed = false;
    bool done = false;
    do {
        while (m_installFolder.size() > 1 && m_installFolder.back() == '\\')
            m_installFolder.pop_back();
        char full[MAX_PATH * 2] = {};
        DWORD n = ::GetFullPathNameA(m_installFolder.c_str(), sizeof(full), full, nullptr);
        if (n > 0 && n < sizeof(full))
            m_installFolder = full;
        if (!MakeFolderPath(m_installFolder)) {
            std::string text = "Unable to create install path.\nPlease try to correct path\n" + m_installFolder;
            Fail(text.c_str());
            break;
        }
        std::vector<uint8_t> payload;
        if (!LoadResourceCopy("ZIP_DATA", "DATA", payload) || payload.empty()) {
            Fail("Unable to find setup data.");
            break;
        }
        uint8_t* buffer = static_cast<uint8_t*>(malloc(payload.size()));
        if (buffer == nullptr) {
            Fail("Unable to extract setup data.\n[memory fault]");
            break;
        }
        memcpy(buffer, payload.data(), payload.size());
        CZipMemoryFile file(buffer, uint32_t(payload.size()), 1024, true);
        CZipContainer zip;
        try {
            zip.Open(file, CZipContainer::zipOpenReadOnly);
            uint64_t total = 0;
            CZipEntryHeader header;
            bool valid = true;
            for (int i = 0; i < zip.GetCount() && valid; i++) {
                valid = zip.GetEntryInfo(i, header);
                total += header.m_uncompressedSize;
            }
            if (!valid) {
                Fail("Invalid setup data.");
                zip.Close(true);
                break;
            }
            HWND bar = ::GetDlgItem(m_hWnd, IDC_SETUP_PROGRESS);
            ::SendMessage(bar, PBM_SETRANGE32, 0, 100);
            ProgressState state = {bar, 0, total};
            bool extracted = true;
            for (int i = 0; i < zip.GetCount() && extracted; i++) {
                zip.GetEntryInfo(i, header);
                extracted = zip.ExtractEntry(i, m_installFolder, true, nullptr, OnExtractProgress, &state,
                                             kExtractBuffer);
                state.before += header.m_uncompressedSize;
            }
            if (!extracted) {
                Fail("Unable to extract setup data.");
                zip.Close(true);
                break;
            }
            zip.Close();
        } catch (const CZipException&) {
            zip.Close(true);
            Fail("Unable to extract setup data.");
            break;
        } catch (const CFileException&) {
            zip.Close(true);
            Fail("Unable to read setup data.");
            break;
        } catch (...) {
            zip.Close(true);
            Fail("Unable to extract setup data.\n[memory fault]");
            break;
        }
        if (!WriteShortcuts())
            break;
        m_finished = true;
        done = true;
    } while (false);
    m_installing = false;
    UpdateButtons();
    return done;
}

bool CSetupDlg::WriteShortcuts()
{
    std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        if (link != nullptr)
            link->Release();
        Fail("Unable to create shortcut.");
        return false;
    }
    std::string target = m_installFolder + "\\vistrel.exe";
    link->SetPath(target.c_str());
    link->SetWorkingDirectory((m_installFolder + "\\").c_str());
    link->SetArguments("");
    link->SetDescription("vistrel - the Vistrel program");
    link->SetShowCmd(SW_SHOWNORMAL);
    link->SetIconLocation(target.c_str(), 0);
    bool saved = true;
    auto save = [&](const std::string& folder) {
        std::string path = folder + "\\vistrel.lnk";
        WCHAR wide[MAX_PATH * 2] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
        if (FAILED(persist->Save(wide, TRUE)))
            saved = false;
    };
    if (m_desktopShortcut && !desktop.empty())
        save(desktop);
    if (m_startMenuShortcut && !programs.empty())
        save(programs);
    persist->Release();
    link->Release();
    if (!saved)
        Fail("Unable to save shortcut.");
    return saved;
}
