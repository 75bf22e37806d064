#include "core/Disc.h"

#include <algorithm>
#include <cstdlib>

#include "core/StrUtil.h"

CDisc::CDisc()
    : m_serialNumber(NULL), m_name(NULL), m_id(0xFFFFFFFF), m_fixedOrNetwork(0), m_network(0),
      m_driveLetter(0)
{
}

CDisc::~CDisc()
{
    free(m_serialNumber);
    free(m_name);
}

void CDisc::CopyFrom(const CDisc& other)
{
    if (&other == this)
        return;
    StrSet(&m_serialNumber, other.m_serialNumber);
    StrSet(&m_name, other.m_name);
    m_fileIds = other.m_fileIds;
    m_id = other.m_id;
    m_fixedOrNetwork = other.m_fixedOrNetwork;
    m_network = other.m_network;
    m_driveLetter = other.m_driveLetter;
}

bool CDisc::IsDifferent(const CDisc& other) const
{
    return !StrEqual(m_serialNumber, other.m_serialNumber) || !StrEqual(m_name, other.m_name) ||
           m_id != other.m_id || m_fixedOrNetwork != other.m_fixedOrNetwork ||
           m_driveLetter != other.m_driveLetter || m_fileIds != other.m_fileIds;
}

void CDisc::AddFileId(DWORD id)
{
    m_fileIds.push_back(id);
}

bool CDisc::RemoveFileId(DWORD id)
{
    std::vector<DWORD>::iterator it = std::find(m_fileIds.begin(), m_fileIds.end(), id);
    if (it == m_fileIds.end())
        return false;
    m_fileIds.erase(it);
    return true;
}

bool CDisc::HasFileId(DWORD id) const
{
    return std::find(m_fileIds.begin(), m_fileIds.end(), id) != m_fileIds.end();
}
