# quarlo-render as a process: exit codes, messages and the files it writes.
set(work ${WORK})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

function(render out_code out_err)
  execute_process(COMMAND ${RENDER} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  set(${out_code} "${code}" PARENT_SCOPE)
  set(${out_err} "${err}" PARENT_SCOPE)
endfunction()

foreach(bad "--seed;1;--out;${work}/a.png" "--tick;1;--out;${work}/a.png" "--seed;1;--tick;1"
        "--seed;1;--tick;1;--out;${work}/a.png;--size;0x10"
        "--seed;1;--tick;1;--out;${work}/a.png;--size;10"
        "--seed;1;--tick;1;--out;${work}/a.png;--size;99999x10"
        "--seed;-1;--tick;1;--out;${work}/a.png"
        "--seed;1;--tick;1;--out;${work}/a.png;--displacement;0"
        "--seed;1;--tick;1;--out;${work}/a.png;--every;0"
        "--seed;1;--tick;1;--out;${work}/a.png;--wat")
  render(code err ${bad})
  if(NOT code EQUAL 2 OR NOT err MATCHES "^quarlo-render: .*usage: quarlo-render")
    message(FATAL_ERROR "quarlo-render ${bad}: exit ${code}, stderr '${err}'")
  endif()
endforeach()
if(EXISTS ${work}/a.png)
  message(FATAL_ERROR "a refused command line wrote a file")
endif()

render(code err --seed 1 --tick 1 --out ${work}/no/such/dir/a.png)
if(NOT code EQUAL 2 OR NOT err MATCHES "quarlo-render: cannot write")
  message(FATAL_ERROR "unwritable output: exit ${code}, '${err}'")
endif()
file(WRITE ${work}/broken.bmp "BM not a bitmap at all")
render(code err --seed 1 --tick 1 --texture ${work}/broken.bmp --out ${work}/b.png)
if(NOT code EQUAL 2 OR NOT err MATCHES "cannot read the bitmap" OR EXISTS ${work}/b.png)
  message(FATAL_ERROR "broken texture: exit ${code}, '${err}'")
endif()

render(code err --seed 0 --tick 12 --size 160x120 --explode --out ${work}/one.png)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "one frame: exit ${code}, '${err}'")
endif()
file(READ ${work}/one.png head LIMIT 24 HEX)
# PNG signature, then IHDR with width 160 (0xa0) and height 120 (0x78).
if(NOT head MATCHES "^89504e470d0a1a0a0000000d49484452000000a000000078")
  message(FATAL_ERROR "one.png is not a 160x120 PNG: ${head}")
endif()

render(code err --seed 0 --tick 10 --every 5 --size 32x24 --out ${work}/frames)
file(GLOB frames ${work}/frames/*.png)
list(LENGTH frames count)
if(NOT code EQUAL 0 OR NOT count EQUAL 3 OR NOT EXISTS ${work}/frames/frame-000010.png)
  message(FATAL_ERROR "--every: exit ${code}, ${count} frames: ${frames} ${err}")
endif()
