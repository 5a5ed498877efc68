# detect-orbittender.ps1: the detection script for Intune (Win32 app) and Configuration
# Manager. TlvAsService counts as installed when release @TLV_VERSION@ or a later one is installed,
# of either edition, and its /verify finds the service OrbitTender as it should be: then the
# script writes one line. Either way it exits 0: both tools read a line as "installed" and no
# line as "not installed" (Configuration Manager takes any other exit code for a failed
# detection). The release is stamped in when the package is made; do not edit it.
$lowest = '@TLV_VERSION@'
foreach ($view in 'Registry64', 'Registry32') {
  # Where the package recorded its folder; a 32-bit Windows has the one view only.
  $machine = [Microsoft.Win32.RegistryKey]::OpenBaseKey('LocalMachine', $view)
  $key = $machine.OpenSubKey('SOFTWARE\TlvAsService')
  if ($null -eq $key) { continue }
  $folder = $key.GetValue('InstallFolder')
  $key.Close()
  if (-not $folder) { continue }
  $exe = Join-Path $folder 'TlvAsService.exe'
  if (-not (Test-Path -LiteralPath $exe -PathType Leaf)) { continue }
  # The program has no console: it is started and waited for, its exit code is the answer.
  $run = Start-Process -FilePath $exe -ArgumentList '/verify', '/minversion', $lowest -Wait -PassThru
  if ($run.ExitCode -eq 0) {
    Write-Output "TlvAsService $lowest or later is installed and the service OrbitTender verified"
    exit 0
  }
}
exit 0
