# Registers or removes Tessaly's Windows 11 package (Tessaly.msix, in this
# script's folder) for the installer's actions, which run it as
#   powershell.exe -NoProfile -NonInteractive -ExecutionPolicy Bypass -File "<this script>" ACTION
# ACTION: register (for this user, with this folder as the package's
# external location), remove (for this user), remove-all-users (for every
# user: needs an administrator's rights). The folder comes from the
# script's own place, never from PowerShell code, so quotes in its name do
# no harm. Every line written goes to the installer's log; the exit code is
# 0 when the action is done, 1 when it failed.
param(
    [Parameter(Mandatory = $true)]
    [ValidateSet('register', 'remove', 'remove-all-users')]
    [string] $Action
)
$ErrorActionPreference = 'Stop'
$ProgressPreference = 'SilentlyContinue'  # progress records would reach the log as serialised objects
[Console]::OutputEncoding = [Text.Encoding]::UTF8
$name = 'Quenbridge.Tessaly'

try {
    switch ($Action) {
        'register' {
            $package = Join-Path -Path $PSScriptRoot -ChildPath 'Tessaly.msix'
            Add-AppxPackage -Path $package -ExternalLocation $PSScriptRoot
            Write-Output "registered $package for $env:USERNAME, external location $PSScriptRoot"
        }
        'remove' {
            $registered = @(Get-AppxPackage -Name $name)
            if ($registered.Count -eq 0) { Write-Output "$name is not registered for $env:USERNAME" }
            foreach ($package in $registered) {
                Remove-AppxPackage -Package $package.PackageFullName
                Write-Output "removed $($package.PackageFullName) for $env:USERNAME"
            }
        }
        'remove-all-users' {
            $registered = @(Get-AppxPackage -AllUsers -Name $name)
            if ($registered.Count -eq 0) { Write-Output "$name is registered for no user" }
            foreach ($package in $registered) {
                Remove-AppxPackage -Package $package.PackageFullName -AllUsers
                Write-Output "removed $($package.PackageFullName) for every user"
            }
        }
    }
    exit 0
} catch {
    Write-Output "$Action failed: $($_.Exception.Message)"
    exit 1
}
